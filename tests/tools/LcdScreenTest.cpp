// The emulated display's interpreter and decoder, in-process.
#include <gtest/gtest.h>

#include <random>

#include "display/LCDControl_COM.h"
#include "runtime/Cp1251.h"
#include "tools/lcdemu/Glyphs.h"
#include "tools/lcdemu/Screen.h"
#include "tools/lcdemu/View.h"

namespace {

// What the module sends for a text: each character through its translation.
std::string Translated(const std::string& utf8) {
  std::string bytes;
  for (char c : Utf8ToCp1251(utf8)) bytes.push_back(static_cast<char>(TLCDControl_COM::TranslateChar(static_cast<std::uint8_t>(c))));
  return bytes;
}

std::string At(int col, int row) { return std::string{'\xFE', 'G', static_cast<char>(col), static_cast<char>(row)}; }

TEST(LcdScreenTest, CommandsMoveClearDefineAndStartUp) {
  LcdScreen screen(2, 16);
  EXPECT_TRUE(screen.Feed(std::string("\xFE\xC0\x0C", 3)));
  EXPECT_EQ(screen.Stats().startUps, 1u);
  screen.Feed(At(1, 2) + Translated("Привет"));
  EXPECT_EQ(RowText(screen, 1), "Привет          ");
  screen.Feed(At(16, 1) + "ab");  // the cursor wraps to the next row
  EXPECT_EQ(RowText(screen, 0).substr(15), "a");
  EXPECT_EQ(RowText(screen, 1).substr(0, 1), "b");
  screen.Feed(std::string("\xFE\x4E\x03\x1F\x11\x11\x11\x11\x11\x1F\x00", 11) + At(1, 1) + "\x03");
  EXPECT_TRUE(screen.UserCharacterDefined(3));
  EXPECT_EQ(PatternRow(screen.UserCharacter(3)[0]), "#####");
  EXPECT_EQ(RowText(screen, 0).substr(0, 3), UserCharacterMark(3)) << "code 3 is user character 3 (text code 4 before translation)";
  EXPECT_TRUE(screen.Feed(std::string("\xFE\x58", 2)));
  EXPECT_EQ(RowText(screen, 0), std::string(16, ' '));
  EXPECT_EQ(screen.CursorRow(), 0);
}

TEST(LcdScreenTest, BadPositionsUnknownAndTruncatedCommandsAreCountedNotObeyed) {
  LcdScreen screen(2, 16);
  screen.Feed(At(3, 1));
  screen.Feed(At(17, 1) + At(0, 1) + At(1, 3));
  EXPECT_EQ(screen.Stats().ignoredPositions, 3u);
  EXPECT_EQ(screen.LastIgnoredPosition(), (std::pair<int, int>{1, 3}));
  EXPECT_EQ(screen.CursorCol(), 2) << "the cursor stays where the last good command put it";
  screen.Feed(std::string("\xFE\x01\xFE\xFD\xFE\x01", 6));
  EXPECT_EQ(screen.Stats().unknownCommands, 3u);
  EXPECT_EQ(RowText(screen, 0), std::string(16, ' ')) << "an unknown command is never drawn";
  screen.Feed(std::string("\xFE\x4E\x01\x02", 4));  // a definition cut short
  screen.EndOfStream();
  EXPECT_EQ(screen.Stats().truncatedCommands, 1u);
  EXPECT_NE(DumpText(screen).find("ignored: positions 3 (last: column 1, row 3)"), std::string::npos);
  EXPECT_NE(DumpText(screen).find("unknown commands 3 (01 FD)"), std::string::npos) << DumpText(screen);
}

TEST(LcdScreenTest, ACommandSplitAcrossReadsIsTheSameCommand) {
  LcdScreen whole(4, 20), split(4, 20);
  const std::string stream = At(5, 3) + Translated("Ёлка") + std::string("\xFE\x4E\x07\x01\x02\x03\x04\x05\x06\x07\x08", 11);
  whole.Feed(stream);
  for (char c : stream) split.Feed(std::string(1, c));
  EXPECT_EQ(DumpText(split), DumpText(whole));
  EXPECT_EQ(RowText(whole, 2).substr(4, 8), "Ёлка");
}

TEST(LcdScreenTest, EveryLetterReadsBackInsideACyrillicWord) {
  // With a letter only the Cyrillic ROM has, the shared codes read as Cyrillic; alone they
  // read as the Latin letters they look like.
  const char* words[] = {"АБВГДЕЁЖЗИЙКЛМНОП", "РСТУФХЦЧШЩЪЫЭЮЯ", "абвгдеёжзийклмноп", "рстуфхцчшщъыэюя"};
  for (const char* word : words) {
    LcdScreen screen(1, 20);
    screen.Feed(Translated(word));
    EXPECT_EQ(RowText(screen, 0).substr(0, std::string(word).size()), word);
  }
  LcdScreen screen(1, 16);
  screen.Feed(Translated("КОТ cat Мир"));
  EXPECT_EQ(RowText(screen, 0), "KOT cat Мир     ");
  LcdScreen signs(1, 16);
  signs.Feed(Translated("Ьь"));
  EXPECT_EQ(RowText(signs, 0).substr(0, 4), "ьь") << "one glyph for both soft signs";
}

TEST(LcdScreenTest, AnyByteStreamLeavesASaneScreen) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 2000; ++round) {
    LcdScreen screen(round % 2 ? 4 : 1, round % 3 ? 20 : 40);
    std::string stream(random() % 300, '\0');
    for (char& c : stream) c = static_cast<char>(random() % 4 == 0 ? 0xFE : random() % 256);
    screen.Feed(stream.substr(0, stream.size() / 2));
    screen.Feed(stream.substr(stream.size() / 2));
    screen.EndOfStream();
    ASSERT_GE(screen.CursorRow(), 0);
    ASSERT_LT(screen.CursorRow(), screen.Rows());
    ASSERT_LE(screen.CursorCol(), screen.Cols()) << "at most just past the end of a row";
    ASSERT_FALSE(DumpText(screen).empty());
    ASSERT_FALSE(LiveView(screen, "t").empty());
  }
  EXPECT_THROW(LcdScreen(3, 20), std::invalid_argument);
  EXPECT_THROW(LcdScreen(2, 17), std::invalid_argument);
}

TEST(LcdScreenTest, TheBacklightTimerIsAskedForOnceAndEndsTheLight) {
  LcdScreen screen(2, 16);
  EXPECT_EQ(screen.TakeBacklightTimer(), std::nullopt);
  screen.Feed(std::string("\xFE\x42\x05", 3));
  EXPECT_EQ(screen.TakeBacklightTimer(), 5);
  EXPECT_EQ(screen.TakeBacklightTimer(), std::nullopt);
  screen.BacklightTimeUp();
  EXPECT_FALSE(screen.Settings().backlight);
  screen.Feed(std::string("\xFE\x46", 2));
  EXPECT_EQ(screen.TakeBacklightTimer(), 0) << "switching off cancels a pending time-out";
}

}  // namespace
