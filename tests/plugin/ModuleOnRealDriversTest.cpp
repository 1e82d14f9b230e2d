// The module as a host drives it, on the kernel's own drivers, when the device goes while the
// settings dialog is up and while the display is active: the host gets the control's exception
// for a failed restart and the port's for a failed command, and once the device is back the
// dialog brings the display back on it. Nothing is left behind.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "display/LCDControl_COM.h"
#include "plugin/HostInterface.h"
#include "plugin/SettingsUnit.h"
#include "tests/plugin/ModuleHostSupport.h"
#include "tests/realdrivers/guest/DeviceParams.h"
#include "tests/realdrivers/guest/HotPlug.h"
#include "tests/reliability/Baseline.h"
#include "tests/reliability/HeapInUse.h"
#include "tests/serial/SerialTestSupport.h"
#include "tests/support/MainLoop.h"
#include "tests/support/TemporaryHome.h"

namespace {

using namespace realdrivers;

class ModuleOnRealDriversTest : public ::testing::TestWithParam<Device> {
 protected:
  void SetUp() override {
    home.WriteSettings("[Quorvel.dll]\nPort=" + path + "\n");
    far.Skip();
    ASSERT_EQ(record->InitHardware(), 0);
    ASSERT_EQ(Hex(far.Take(3)), "FE C0 0C");
  }
  void TearDown() override {
    if (record->Control) record->DoneHardware();
  }
  TLCDControl_COM& Display() { return *static_cast<TLCDControl_COM*>(record->Control); }
  // The device is back; the dialog moves the display onto it and the display works there.
  void ExpectTheDialogBringsTheDisplayBack() {
    const std::string again = plug.Replug();
    far.Skip();
    {
      ScriptedFormRunner ok(DialogAnswer(again, true));
      EXPECT_EQ(record->ConfigureHardware(), 0);
    }
    EXPECT_TRUE(Display().GetActive());
    EXPECT_EQ(Hex(far.Take(3)), "FE C0 0C");
    Display().ClearScreen();
    EXPECT_EQ(Hex(far.Take(2)), "FE 58");
    EXPECT_NE(home.ReadSettings()->find("Port=" + again), std::string::npos);
    EXPECT_EQ(record->DoneHardware(), 0);
    EXPECT_EQ(record->Control, nullptr);
  }

  Baseline baseline;
  const std::size_t heap = HeapInUse();
  TemporaryHome home;
  const std::string path = DevicePath(GetParam());
  FarEnd far{GetParam()};
  HostInfoRecord* record = getHardware();
  HotPlug plug{GetParam()};
};

TEST_P(ModuleOnRealDriversTest, AnUnplugWhileTheDialogIsUpFailsTheRestartAndTheDialogBringsTheDisplayBack) {
  {
    ScriptedFormRunner cancel(DialogAnswer("", false, [&] {
      EXPECT_FALSE(Display().ComPort()->Connected()) << "the port is closed while the dialog is up";
      plug.Unplug();
    }));
    EXPECT_NE(ControlFailureOf([&] { record->ConfigureHardware(); }).find("(" + path + ")!"), std::string::npos)
        << "the restart on the vanished device must fail with the control's exception";
  }
  EXPECT_FALSE(Display().GetActive());
  ExpectTheDialogBringsTheDisplayBack();
  baseline.ExpectRestored();
  EXPECT_LE(HeapInUse(), heap + HeapTolerance) << "memory left allocated";
}

TEST_P(ModuleOnRealDriversTest, AnUnplugWhileActiveFailsCommandsAndTheDialogBringsTheDisplayBack) {
  ServeUntilQuiet();  // the host's loop has handed over the start-up string's events
  if (!plug.Unplug()) return;
  EXPECT_EQ(RaisedBy([&] { Display().WriteAt(0, 0, "x"); }).ErrorNumber(), CError_WriteFailed);
  ExpectTheDialogBringsTheDisplayBack();
  baseline.ExpectRestored();
  EXPECT_LE(HeapInUse(), heap + HeapTolerance) << "memory left allocated";
}

INSTANTIATE_TEST_SUITE_P(RealDrivers, ModuleOnRealDriversTest, EveryPluggableDevice, DriverOf);

}  // namespace
