// The module as the host drives it, on a real pseudo-terminal named in the settings file, when
// the line hangs up while the display is active or while the settings dialog is up: the host
// gets the port's exception for a command and the control's exception for a failed restart,
// and a new line chosen in the dialog brings the display back.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "display/LCDControl_COM.h"
#include "plugin/HostInterface.h"
#include "plugin/SettingsUnit.h"
#include "tests/plugin/ModuleHostSupport.h"
#include "tests/reliability/Baseline.h"
#include "tests/serial/SerialTestSupport.h"
#include "tests/support/TemporaryHome.h"

namespace {

const std::string StartUp = "\xFE\xC0\x0C";

class ModuleOnAHungUpLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home.WriteSettings("[Quorvel.dll]\nPort=" + pty->DevicePath() + "\n");
    ASSERT_EQ(record->InitHardware(), 0);
    EXPECT_EQ(Hex(pty->Read(3)), Hex(StartUp));
  }
  TLCDControl_COM& Display() { return *static_cast<TLCDControl_COM*>(record->Control); }

  Baseline baseline;
  TemporaryHome home;
  std::unique_ptr<PseudoTerminal> pty = std::make_unique<PseudoTerminal>();
  HostInfoRecord* record = getHardware();
};

TEST_F(ModuleOnAHungUpLineTest, AHangUpWhileActiveFailsCommandsThenTheDialogMovesTheDisplayToANewLine) {
  const std::string gone = pty->DevicePath();
  pty.reset();  // the adapter is unplugged
  EXPECT_EQ(RaisedBy([&] { Display().WriteAt(1, 1, "x"); }).ErrorNumber(), 2);
  {
    ScriptedFormRunner cancel(DialogAnswer("", false));
    EXPECT_NE(ControlFailureOf([&] { record->ConfigureHardware(); }).find("(" + gone + ")!"), std::string::npos)
        << "the restart on the vanished line fails with the control's exception";
  }
  EXPECT_FALSE(Display().GetActive());
  {
    PseudoTerminal fresh;
    ScriptedFormRunner ok(DialogAnswer(fresh.DevicePath(), true));
    EXPECT_EQ(record->ConfigureHardware(), 0);
    EXPECT_TRUE(Display().GetActive());
    EXPECT_EQ(Hex(fresh.Read(3)), Hex(StartUp));
    Display().ClearScreen();
    EXPECT_EQ(Hex(fresh.Read(2)), "FE 58");
    EXPECT_NE(home.ReadSettings()->find("Port=" + fresh.DevicePath()), std::string::npos);
    EXPECT_EQ(record->DoneHardware(), 0);
  }
  EXPECT_EQ(record->Control, nullptr);
  baseline.ExpectRestored();
}

TEST_F(ModuleOnAHungUpLineTest, AHangUpWhileTheDialogIsUpFailsTheRestartAndDoneHardwareStillCleansUp) {
  const std::string gone = pty->DevicePath();
  ScriptedFormRunner cancel(DialogAnswer("", false, [&] {
    EXPECT_FALSE(Display().ComPort()->Connected()) << "the port is closed while the dialog is up";
    pty.reset();
  }));
  EXPECT_NE(ControlFailureOf([&] { record->ConfigureHardware(); }).find("(" + gone + ")!"), std::string::npos);
  EXPECT_FALSE(Display().GetActive());
  EXPECT_EQ(record->DoneHardware(), 0);
  EXPECT_EQ(record->Control, nullptr);
  baseline.ExpectRestored();
}

TEST_F(ModuleOnAHungUpLineTest, DoneHardwareOnAHungUpLineReleasesEverything) {
  pty.reset();
  EXPECT_EQ(record->DoneHardware(), 0);
  EXPECT_EQ(record->Control, nullptr);
  baseline.ExpectRestored();
}

}  // namespace
