// The settings dialog as a native window, shown by the module's own ConfigureHardware over the
// fake platform; dialog-test.sh presses the keys on the X display the window is on (Xvfb), as a
// user would, one round per test in this order. The settings file is the one in the shell's
// Documents folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "plugin/HostInterface.h"
#include "plugin/SettingsFile.h"
#include "tests/support/FakePlatform.h"

namespace {

std::string Settings() {
  std::ifstream in(SettingsFilePath(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class NativeDialogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::ofstream(SettingsFilePath(), std::ios::binary)
        << "[Quorvel.dll]\r\nLines count=2\r\nCols count=16\r\nPort=COM2\r\nBaudrate=5\r\n";
  }
  void SetUp() override { ASSERT_EQ(record->InitHardware(), 0); }
  void TearDown() override { record->DoneHardware(); }

  fake::ScopedFakePlatform fake;
  HostInfoRecord* record = getHardware();
};

// Keys: End, Shift+Home, "COM7", Tab, "4", Tab, "20", Enter (in the characters box).
TEST_F(NativeDialogTest, TypedTextAndEnterAreTakenAsOk) {
  ASSERT_EQ(record->ConfigureHardware(), 0);
  EXPECT_EQ(Settings(), "[Quorvel.dll]\r\nLines count=4\r\nCols count=20\r\nPort=COM7\r\nBaudrate=5\r\n");
  EXPECT_EQ(fake->Opens().back().name, "\\\\.\\COM7") << "the display reopens on the chosen port";
}

// Keys: Tab five times (rows, characters, OK, Cancel, rate), Down, Enter: the tab order ends at
// the rate, which the arrow moves to the next one.
TEST_F(NativeDialogTest, TheTabOrderEndsAtTheRateWhichTheArrowKeysChoose) {
  ASSERT_EQ(record->ConfigureHardware(), 0);
  EXPECT_EQ(Settings(), "[Quorvel.dll]\r\nLines count=4\r\nCols count=20\r\nPort=COM7\r\nBaudrate=6\r\n");
}

// Keys: "COM9", Esc.
TEST_F(NativeDialogTest, EscIsCancelAndChangesNothing) {
  const std::string before = Settings();
  fake->ClearCalls();
  ASSERT_EQ(record->ConfigureHardware(), 0);
  EXPECT_EQ(Settings(), before);
  EXPECT_EQ(fake->Opens().back().name, "\\\\.\\COM7") << "the display reopens after Cancel too";
}

}  // namespace
