// ConfigureHardware with a scripted dialog, over the fake, with the settings file of a
// temporary HOME.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "display/LCDControl_COM.h"
#include "plugin/DialogRunner.h"
#include "plugin/HostInterface.h"
#include "plugin/SettingsUnit.h"
#include "runtime/IniFile.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ScriptedFormRunner.h"
#include "tests/support/TemporaryHome.h"

namespace {

const std::string StartUp = "\xFE\xC0\x0C";

TfrmSettings& Settings(TForm& form) { return dynamic_cast<TfrmSettings&>(form); }

class ConfigureHardwareTest : public ::testing::Test {
 protected:
  void SetUp() override {
    record->InitHardware();
    fake->ClearCalls();
  }
  void TearDown() override { record->DoneHardware(); }
  TLCDControl_COM& Display() { return *static_cast<TLCDControl_COM*>(record->Control); }
  // Answers the dialog: types into the three edit boxes, picks a rate, presses a button.
  static ScriptedFormRunner::Script Answer(const char* port, const char* rows, const char* cols, int rate, bool ok) {
    return [=](TForm& form) {
      TfrmSettings& dialog = Settings(form);
      if (port) dialog.cbPort->UserType(port);
      if (rows) dialog.cbRows->UserType(rows);
      if (cols) dialog.cbCols->UserType(cols);
      if (rate >= 0) dialog.cbBaudRate->UserSelect(rate);
      (ok ? dialog.Button1 : dialog.Button2)->Click();
      return form.ModalResult();
    };
  }

  TemporaryHome home;
  fake::ScopedFakePlatform fake;
  HostInfoRecord* record = getHardware();
};

TEST_F(ConfigureHardwareTest, TheDialogShowsTheModuleSettingsWhileThePortIsClosed) {
  home.WriteSettings("[Quorvel.dll]\nCols count=8\nBaudrate=13\n");
  record->InitHardware();
  ScriptedFormRunner runner([&](TForm& form) {
    TfrmSettings& dialog = Settings(form);
    EXPECT_FALSE(Display().ComPort()->Connected());
    EXPECT_EQ(dialog.cbPort->Text(), "COM2");
    EXPECT_EQ(dialog.cbRows->Text(), "2");
    EXPECT_EQ(dialog.cbCols->Text(), "8") << "the module keeps 8 although the control ignored it";
    EXPECT_EQ(dialog.cbBaudRate->Text(), "115200");
    return mrCancel;
  });
  EXPECT_EQ(record->ConfigureHardware(), 0);
  EXPECT_EQ(runner.shown, 1);
  EXPECT_EQ(Display().GetColCount(), 16);
}

TEST_F(ConfigureHardwareTest, CancelChangesNothingButReopensAndRestartsTheDisplay) {
  home.WriteSettings("[Quorvel.dll]\nPort=COM2\n");
  ScriptedFormRunner runner(Answer("COM3", "4", "20", 9, false));
  record->ConfigureHardware();
  EXPECT_EQ(home.ReadSettings(), "[Quorvel.dll]\nPort=COM2\n");
  EXPECT_EQ(Display().Port(), "COM2");
  EXPECT_TRUE(Display().GetActive());
  EXPECT_EQ(fake->CountOf("CreateFileA"), 1u);
  EXPECT_EQ(fake->Writes(), std::vector<std::string>{StartUp});
}

TEST_F(ConfigureHardwareTest, OkWritesTheFourKeysAndAppliesAllButTheRate) {
  ScriptedFormRunner runner(Answer(nullptr, nullptr, nullptr, -1, true));
  record->ConfigureHardware();
  EXPECT_EQ(home.ReadSettings(), "[Quorvel.dll]\nLines count=2\nCols count=16\nPort=COM2\nBaudrate=5\n");

  ScriptedFormRunner changed(Answer("COM3", "4", "20", 13, true));
  record->ConfigureHardware();
  EXPECT_EQ(home.ReadSettings(), "[Quorvel.dll]\nLines count=4\nCols count=20\nPort=COM3\nBaudrate=13\n");
  EXPECT_EQ(Display().Port(), "COM3");
  EXPECT_EQ(Display().GetRowCount(), 4);
  EXPECT_EQ(Display().GetColCount(), 20);
  EXPECT_EQ(Display().ComPort()->BaudRate(), br2400) << "the rate waits for the next InitHardware";
  EXPECT_TRUE(Display().GetActive());
  record->InitHardware();
  EXPECT_EQ(Display().ComPort()->BaudRate(), br115200);
}

TEST_F(ConfigureHardwareTest, OkKeepsTheRestOfTheFile) {
  home.WriteSettings(
      "; the host's own\r\n[Host]\r\nWindow=3\r\n\r\n[QUORVEL.DLL]\r\nport=COM2\r\nTheme=dark\r\n\r\n[After]\r\nx=1\r\n");
  ScriptedFormRunner runner(Answer("COM3", "x", "", 0, true));  // texts that are no numbers give 2 and 16
  record->ConfigureHardware();
  EXPECT_EQ(home.ReadSettings(),
            "; the host's own\r\n[Host]\r\nWindow=3\r\n\r\n[QUORVEL.DLL]\r\nPort=COM3\r\nTheme=dark\r\n"
            "Lines count=2\r\nCols count=16\r\nBaudrate=0\r\n\r\n[After]\r\nx=1\r\n");
}

TEST_F(ConfigureHardwareTest, AnUnopenablePortAfterOkFailsWithItsNameAlreadySaved) {
  fake->RemoveDevice("$378");
  ScriptedFormRunner runner([](TForm& form) {
    TfrmSettings& dialog = Settings(form);
    dialog.cbPort->UserSelect(dialog.cbPort->Items().IndexOf("$378"));
    dialog.Button1->Click();
    return form.ModalResult();
  });
  try {
    record->ConfigureHardware();
    FAIL() << "the reopen must fail";
  } catch (const Exception& e) {
    EXPECT_NE(e.Message().find("($378)!"), std::string::npos);
  }
  EXPECT_NE(home.ReadSettings()->find("Port=$378"), std::string::npos);
  EXPECT_FALSE(Display().GetActive());
}

TEST_F(ConfigureHardwareTest, AFailedSaveIsReportedAfterTheDisplayIsBack) {
  std::filesystem::create_directories(home.Path());
  std::ofstream(home.Path() / "Documents") << "not a folder";
  ScriptedFormRunner runner(Answer("COM3", nullptr, nullptr, -1, true));
  EXPECT_THROW(record->ConfigureHardware(), EIniFileException);
  EXPECT_TRUE(Display().GetActive());
  EXPECT_EQ(Display().Port(), "COM3");
}

TEST_F(ConfigureHardwareTest, WithoutAControlNothingIsShown) {
  record->DoneHardware();
  ScriptedFormRunner runner(Answer(nullptr, nullptr, nullptr, -1, true));
  EXPECT_EQ(record->ConfigureHardware(), 0);
  EXPECT_EQ(runner.shown, 0);
}

// Run in a child without a controlling terminal or a display, where no dialog can be shown.
TEST_F(ConfigureHardwareTest, ADialogThatCannotBeShownReactivatesAndSaysSo) {
  record->DoneHardware();
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    setsid();
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("QT_QPA_PLATFORM");
    int status = 1;
    {
      fake::ScopedFakePlatform platform;
      HostInfoRecord* r = getHardware();
      r->InitHardware();
      platform->ClearCalls();
      try {
        r->ConfigureHardware();
      } catch (const EDialogUnavailable& e) {
        const bool reactivated = static_cast<TLCDControl_COM*>(r->Control)->GetActive() &&
                                 platform->Writes() == std::vector<std::string>{StartUp};
        status = reactivated && std::string(e.what()).find("cannot be shown") != std::string::npos ? 0 : 3;
      } catch (...) {
        status = 4;
      }
      r->DoneHardware();
    }
    _exit(status);
  }
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
