// The display road on the kernel's own serial drivers, inside the bench's machine: every
// command string reaches the far end of the line byte for byte, and each string is one
// write(2) call, as on a pseudo-terminal.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/LCDControl_COM.h"
#include "tests/realdrivers/guest/DeviceParams.h"
#include "tests/realdrivers/guest/WriteLog.h"
#include "tests/support/PseudoTerminal.h"

namespace {

using namespace realdrivers;

const std::uint8_t Pattern[8] = {0x1F, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1F, 0x00};

std::vector<std::string> HexEach(const std::vector<std::string>& strings) {
  std::vector<std::string> hex;
  for (const std::string& s : strings) hex.push_back(Hex(s));
  return hex;
}

class DisplayOnRealDriversTest : public ::testing::TestWithParam<Device> {
 protected:
  FarEnd far{GetParam()};
  const std::string path = DevicePath(GetParam());
};

TEST_P(DisplayOnRealDriversTest, EveryCommandReachesTheFarEndByteForByteInOneWriteEach) {
  far.Skip();
  std::vector<std::string> writes;
  {
    WriteLog log(path);
    TLCDControl_COM lcd(nullptr);
    lcd.SetPort(path);
    lcd.SetActive(true);
    ASSERT_TRUE(lcd.GetActive());
    lcd.ClearScreen();
    lcd.WriteAt(1, 2, "\xCF\xF0\xE8\xE2\xE5\xF2");  // "Привет" in Windows-1251
    lcd.WriteAt(10, 1, "\xA8\xFF");                 // "Ёя"; column 10 is 0x0A, which a cooked line doubles
    lcd.DefineChar(3, Pattern, 7);
    lcd.WriteAt(0, 0, std::string("\x04\x00", 2));  // user characters 3 and 0xFF
    lcd.SetActive(false);
    writes = log.Writes();
  }
  const std::vector<std::string> strings = {
      "FE C0 0C", "FE 58",
      "FE 47 01 02", "A8", "70", "B8", "B3", "65", "BF",
      "FE 47 0A 01", "A2", "C7",
      "FE 4E 03 1F 11 11 11 11 11 1F 00",
      "FE 47 00 00", "03", "FF"};
  std::string all;
  for (const std::string& s : strings) all += (all.empty() ? "" : " ") + s;
  EXPECT_EQ(Hex(far.Take((all.size() + 1) / 3)), all) << "what reached the far end";
  EXPECT_EQ(HexEach(writes), strings) << "the write(2) calls, one a string";
}

TEST_P(DisplayOnRealDriversTest, ASecondControlOnTheSameDeviceCannotActivate) {
  far.Skip();
  TLCDControl_COM lcd(nullptr);
  lcd.SetPort(path);
  lcd.SetActive(true);
  EXPECT_EQ(Hex(far.Take(3)), "FE C0 0C");
  TLCDControl_COM second(nullptr);
  second.SetPort(path);
  EXPECT_THROW(second.SetActive(true), Exception);
  EXPECT_FALSE(second.GetActive());
  lcd.ClearScreen();
  EXPECT_EQ(Hex(far.Take(2)), "FE 58") << "the first control still drives the line";
}

INSTANTIATE_TEST_SUITE_P(RealDrivers, DisplayOnRealDriversTest, EveryDevice, DriverOf);

}  // namespace
