// The display control on a real pseudo-terminal: the test holds the master side as the line.
#include <gtest/gtest.h>

#include <memory>

#include "tests/display/DisplayTestSupport.h"
#include "tests/support/PseudoTerminal.h"

namespace {

class DisplayOnPseudoTerminalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    lcd.SetPort(pty.DevicePath());
    lcd.SetActive(true);
    ASSERT_TRUE(lcd.GetActive());
  }
  std::string Line(std::size_t count) { return Hex(pty.Read(count)); }

  PseudoTerminal pty;
  TLCDControl_COM lcd{nullptr};
};

TEST_F(DisplayOnPseudoTerminalTest, CommandsReachTheLineByteForByte) {
  EXPECT_EQ(Line(3), "FE C0 0C");
  lcd.WriteAt(1, 2, Cp1251("Привет"));
  EXPECT_EQ(Line(10), "FE 47 01 02 A8 70 B8 B3 65 BF");
  lcd.DefineChar(3, Pattern, 7);
  EXPECT_EQ(Line(11), "FE 4E 03 1F 11 11 11 11 11 1F 00");
  lcd.WriteAt(10, 1, "");  // column 10 is 0x0A: a cooked line would turn it into 0D 0A
  lcd.ClearScreen();
  EXPECT_EQ(Line(6), "FE 47 0A 01 FE 58");
}

TEST_F(DisplayOnPseudoTerminalTest, ASecondControlOnTheSameDeviceCannotActivate) {
  TLCDControl_COM second(nullptr);
  second.SetPort(pty.DevicePath());
  EXPECT_OPEN_FAILURE(second.SetActive(true), pty.DevicePath());
  EXPECT_FALSE(second.GetActive());
  EXPECT_TRUE(lcd.GetActive());
  EXPECT_EQ(Line(3), "FE C0 0C");
  lcd.ClearScreen();
  EXPECT_EQ(Line(2), "FE 58") << "the first control still drives the line";
}

TEST_F(DisplayOnPseudoTerminalTest, AMissingDeviceGivesTheOpenFailure) {
  TLCDControl_COM other(nullptr);
  other.SetPort("/dev/does-not-exist");
  EXPECT_OPEN_FAILURE(other.SetActive(true), "/dev/does-not-exist");
  EXPECT_FALSE(other.GetActive());
}

TEST_F(DisplayOnPseudoTerminalTest, AnUnpluggedLineFailsTheNextWriteAndTheControlStillCloses) {
  pty.CloseMaster();
  try {
    lcd.WriteAt(1, 1, "x");
    FAIL() << "a write on a hung-up line must fail";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ErrorNumber(), 2);
  }
  EXPECT_NO_THROW(lcd.SetActive(false));
  EXPECT_FALSE(lcd.GetActive());
}

TEST(DisplayUnpluggedTest, AnActiveControlOnAHungUpLineIsDestroyedWithoutRaising) {
  PseudoTerminal pty;
  auto lcd = std::make_unique<TLCDControl_COM>(nullptr);
  lcd->SetPort(pty.DevicePath());
  lcd->SetActive(true);
  pty.CloseMaster();
  EXPECT_NO_THROW(lcd.reset());
}

}  // namespace
