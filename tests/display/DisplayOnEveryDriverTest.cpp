// The display's whole road on each kernel driver users have, emulated over a real
// pseudo-terminal: the port watches every event, so each driver's gaps (no waiting for the
// lines, no counters) are met at start-up and on every write.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "tests/display/DisplayTestSupport.h"
#include "tests/reliability/Baseline.h"
#include "tests/support/EmulatedDriver.h"

namespace {

namespace fs = std::filesystem;

class DisplayOnEveryDriverTest : public ::testing::TestWithParam<DriverProfile> {
 protected:
  // The adapter plugged in, reached through a link as a port name is reached.
  void Plug() {
    line = std::make_unique<PseudoTerminal>();
    driver = std::make_unique<InstalledDriver>(GetParam(), *line);
    fs::remove(link);
    fs::create_symlink(line->DevicePath(), link);
  }
  void Unplug() { line->CloseMaster(); }
  void TearDown() override { fs::remove(link); }
  std::string Line(std::size_t count) { return Hex(line->Read(count)); }

  Baseline baseline;
  const std::string link = (fs::temp_directory_path() / ("lcd-" + std::to_string(getpid()))).string();
  std::unique_ptr<PseudoTerminal> line;
  std::unique_ptr<InstalledDriver> driver;
};

TEST_P(DisplayOnEveryDriverTest, TheCommandsReachTheLineByteForByteAndTheDisplayComesBackAfterAReplug) {
  {
    TLCDControl_COM lcd(nullptr);
    lcd.SetPort(link);
    Plug();
    ASSERT_NO_THROW(lcd.SetActive(true));
    EXPECT_EQ(Line(3), "FE C0 0C");
    lcd.ClearScreen();
    lcd.WriteAt(1, 2, Cp1251("Привет"));
    lcd.DefineChar(3, Pattern, 7);
    lcd.WriteAt(10, 1, "\x04");  // text 1..8 shows user characters 0..7
    EXPECT_EQ(Line(2 + 10 + 11 + 5),
              "FE 58 FE 47 01 02 A8 70 B8 B3 65 BF FE 4E 03 1F 11 11 11 11 11 1F 00 FE 47 0A 01 03");

    Unplug();
    EXPECT_THROW(lcd.WriteAt(1, 1, "x"), EComPort);
    EXPECT_NO_THROW(lcd.SetActive(false));
    driver.reset();
    Plug();
    ASSERT_NO_THROW(lcd.SetActive(true)) << "the adapter is back";
    EXPECT_EQ(Line(3), "FE C0 0C");
    lcd.WriteAt(1, 1, "ok");
    EXPECT_EQ(Line(6), "FE 47 01 01 6F 6B");
  }
  driver.reset();
  line.reset();
  baseline.ExpectRestored();
}

TEST_P(DisplayOnEveryDriverTest, AnActiveDisplayWhoseAdapterIsPulledIsDestroyedWithoutRaising) {
  {
    auto lcd = std::make_unique<TLCDControl_COM>(nullptr);
    lcd->SetPort(link);
    Plug();
    lcd->SetActive(true);
    EXPECT_EQ(Line(3), "FE C0 0C");
    Unplug();
    EXPECT_NO_THROW(lcd.reset());
  }
  driver.reset();
  line.reset();
  baseline.ExpectRestored();
}

INSTANTIATE_TEST_SUITE_P(EveryDriver, DisplayOnEveryDriverTest, ::testing::ValuesIn(EveryDriverProfile()),
                         ProfileName<::testing::TestParamInfo<DriverProfile>>);

}  // namespace
