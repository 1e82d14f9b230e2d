// The keypad of the emulated display: keys go out at once or wait for polls, in the order
// they were pressed, and none is lost while there is room for it.
#include <gtest/gtest.h>

#include "tools/lcdemu/Keypad.h"
#include "tools/lcdemu/Screen.h"

namespace {

const std::string AutoTransmitOff("\xFE\x4F", 2), AutoTransmitOn("\xFE\x41", 2), Poll("\xFE\x26", 2);

TEST(LcdKeypadTest, AutoTransmitSendsEachKeyAsItIsPressed) {
  LcdScreen screen(2, 16);
  EXPECT_TRUE(screen.PressKey('A'));
  EXPECT_TRUE(screen.PressKey('Y'));
  EXPECT_FALSE(screen.PressKey('Z')) << "25 keys, A to Y";
  EXPECT_EQ(screen.TakeLineOutput(), "AY");
  EXPECT_EQ(screen.Keys().Sent(), 2u);
  EXPECT_EQ(screen.Keys().LastSent(), 'Y');
}

TEST(LcdKeypadTest, PollsAnswerTheWaitingKeysInOrderThenZero) {
  LcdScreen screen(2, 16);
  screen.Feed(AutoTransmitOff);
  screen.PressKey('C');
  screen.PressKey('B');
  EXPECT_EQ(screen.TakeLineOutput(), "") << "nothing goes out before a poll";
  screen.Feed(Poll + Poll + Poll);
  EXPECT_EQ(screen.TakeLineOutput(), std::string("CB\0", 3));
  // Switching auto-transmit on sends what was waiting; clearing drops it.
  screen.PressKey('D');
  screen.Feed(AutoTransmitOn);
  EXPECT_EQ(screen.TakeLineOutput(), "D");
  screen.Feed(AutoTransmitOff);
  screen.PressKey('E');
  screen.Feed(std::string("\xFE\x45", 2) + Poll);
  EXPECT_EQ(screen.TakeLineOutput(), std::string(1, '\0'));
}

TEST(LcdKeypadTest, AFullBufferDropsAndCountsFurtherKeys) {
  LcdScreen screen(2, 16);
  screen.Feed(AutoTransmitOff);
  for (std::size_t i = 0; i < Keypad::BufferSize; ++i) EXPECT_TRUE(screen.PressKey(static_cast<char>('A' + i)));
  EXPECT_FALSE(screen.PressKey('X'));
  EXPECT_EQ(screen.Keys().Dropped(), 1u);
  screen.Feed(AutoTransmitOn);
  EXPECT_EQ(screen.TakeLineOutput(), "ABCDEFGHIJ");
}

TEST(LcdKeypadTest, APlainModelHasNoKeysButStillAnswersPolls) {
  LcdScreen screen(2, 16, *FindModel("plain"));
  EXPECT_FALSE(screen.PressKey('A'));
  screen.Feed(Poll);
  EXPECT_EQ(screen.TakeLineOutput(), std::string(1, '\0'));
}

}  // namespace
