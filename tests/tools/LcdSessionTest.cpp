// A long session of every command of the table, mixed with text, with argument bytes that are
// 0xFE, fed whole, a byte at a time and cut at random places: every cell, the cursor, the
// settings, the answers and the counters come out as the adapter would leave them.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <random>
#include <set>

#include "tools/lcdemu/Screen.h"
#include "tools/lcdemu/HexBytes.h"
#include "tools/lcdemu/Status.h"

namespace {

// Builds the byte stream and remembers which commands it used.
class Session {
 public:
  Session& Text(const std::string& text) {
    bytes += text;
    return *this;
  }
  Session& Command(std::uint8_t code, std::initializer_list<std::uint8_t> args = {}) {
    bytes += '\xFE';
    bytes += static_cast<char>(code);
    for (std::uint8_t a : args) bytes += static_cast<char>(a);
    used.insert(code);
    return *this;
  }
  std::string bytes;
  std::set<std::uint8_t> used;
};

constexpr std::uint8_t FE = 0xFE;

Session LongSession() {
  Session s;
  s.Command(0xC0, {0x0C}).Command('X').Text("Hello");
  s.Command('G', {5, 2}).Text("World");             // row 2, columns 5..9
  s.Command('H').Text("J");                         // "Jello"
  s.Command('M').Command('M').Text("x");            // "Jelxo"
  s.Command('L').Command('L').Text("y");            // "Jeyxo", cursor on column 4
  s.Command('N', {FE, FE, FE, FE, FE, FE, FE, FE, FE});  // user character 6, rows 0x1E
  s.Command('G', {FE, FE});                         // off the screen: ignored
  s.Command('G', {1, 3}).Text("\x06");
  s.Command('K').Command('J').Command('S').Command('T');  // underline on, block on and off again
  s.Command('B', {FE}).Command('F').Command('B', {0});
  s.Command('P', {FE}).Command(0x91, {64});
  s.Command(0x99, {FE}).Command(0x98, {0x80}).Command('Y', {1}).Command('Y', {FE});  // the last level is out of range
  s.Command('W', {2}).Command('W', {FE}).Command('V', {1}).Command('W', {6});
  s.Command('7').Command('6').Command('5');
  s.Command('O').Command('&').Command('E').Command('A');
  s.Command('U', {FE}).Command('~', {FE}).Command('`');
  s.Command('h').Command('v').Command('s').Command('n');
  s.Command('|', {FE, FE, FE, FE}).Command('=', {FE, FE}).Command('#', {FE, FE});
  s.Command(0x01).Command(FE).Text("!");            // two unknown commands, then text
  s.Command('G', {18, 4}).Text("ABCDE");            // wraps from the last row to the first
  s.Command('Q').Command('G', {19, 4}).Text("PQR");  // scrolls the screen up one row
  s.Command('R').Command('D').Command('G', {19, 1}).Text("XYZ");  // Z falls off the row's end
  s.Command('L').Command('M').Command('M').Text("*").Command('C');
  s.Command('G', {1, 4}).Text("end");
  s.bytes += std::string("\xFE\x4E\x01\x02", 4);  // a definition the line ends in the middle of
  return s;
}

std::string Row(const LcdScreen& screen, int row) {
  std::string codes;
  for (int col = 0; col < screen.Cols(); ++col) codes += static_cast<char>(screen.Code(row, col));
  return codes;
}

std::string Padded(const std::string& text) { return text + std::string(20 - text.size(), ' '); }

void ExpectSessionEnd(LcdScreen& screen) {
  screen.EndOfStream();
  EXPECT_EQ(Row(screen, 0), "    World" + std::string(9, ' ') + "XY");
  EXPECT_EQ(Row(screen, 1), Padded("\x06*"));
  EXPECT_EQ(Row(screen, 2), std::string(17, ' ') + "APQ");
  EXPECT_EQ(Row(screen, 3), Padded("end"));
  EXPECT_EQ(screen.CursorRow(), 3);
  EXPECT_EQ(screen.CursorCol(), 3);

  for (int index = 0; index < 8; ++index) EXPECT_EQ(screen.UserCharacterDefined(index), index == 6) << index;
  EXPECT_EQ(screen.UserCharacter(6), (LcdScreen::Pattern{0x1E, 0x1E, 0x1E, 0x1E, 0x1E, 0x1E, 0x1E, 0x1E}));

  const DisplaySettings& s = screen.Settings();
  EXPECT_TRUE(s.underlineCursor);
  EXPECT_FALSE(s.blockCursor);
  EXPECT_TRUE(s.lineWrap);
  EXPECT_FALSE(s.autoScroll);
  EXPECT_TRUE(s.backlight);
  EXPECT_EQ(s.backlightMinutes, 0);
  EXPECT_EQ(s.contrast, 64);
  EXPECT_EQ(s.brightnessPercent, 75);
  EXPECT_EQ(s.outputs, (std::array<bool, 8>{false, true, false, false, false, true, false, false}));
  EXPECT_TRUE(screen.Keys().AutoTransmit());

  EXPECT_EQ(HexBytes(screen.TakeLineOutput()), "33 FE 01 12 FE 00") << "the three answers, then an empty poll";
  EXPECT_EQ(screen.TakeBacklightTimer(), 0) << "the last backlight command keeps it on";

  const LcdScreen::Counts& c = screen.Stats();
  EXPECT_EQ(c.startUps, 1u);
  EXPECT_EQ(c.unknownCommands, 2u);
  EXPECT_EQ(c.truncatedCommands, 1u);
  EXPECT_EQ(c.ignoredPositions, 1u);
  EXPECT_EQ(screen.LastIgnoredPosition(), (std::pair<int, int>{254, 254}));
  EXPECT_EQ(c.ignoredArguments, 2u);
  EXPECT_EQ(HexBytes(screen.LastIgnoredArguments()), "FE 57 FE");
  EXPECT_EQ(c.clippedCharacters, 1u);
  EXPECT_EQ(c.undrawnCommands, 7u);
  EXPECT_EQ(c.answers, 3u);
  EXPECT_EQ(screen.UnknownCodes().count(), 2u);
  EXPECT_TRUE(screen.UnknownCodes().test(0x01) && screen.UnknownCodes().test(0xFE));
}

LcdScreen SessionScreen() {
  LcdScreen screen(4, 20);
  screen.SetAnswers({0x33, {0xFE, 0x01}, {0x12, 0xFE}});
  return screen;
}

TEST(LcdSessionTest, TheSessionUsesEveryCommandOfTheTable) {
  const Session session = LongSession();
  for (const Command& command : Commands())
    EXPECT_TRUE(session.used.count(command.code)) << "the session leaves out command " << HexBytes(std::string(1, static_cast<char>(command.code)));
}

// The README's table of commands is the one users read: each command is there with its
// argument count (on the keypad model).
TEST(LcdSessionTest, TheReadmeListsEveryCommandWithItsArguments) {
  std::ifstream in(README_PATH);
  std::map<std::string, std::string> rows;  // command byte in hex -> argument cell
  for (std::string line; std::getline(in, line);)
    if (line.size() > 6 && line.compare(0, 2, "| ") == 0 && line.find(" | ", 3) != std::string::npos)
      rows[line.substr(2, 2)] = line.substr(line.find(" | ", 3) + 3, 1);
  for (const Command& command : Commands()) {
    const std::string code = HexBytes(std::string(1, static_cast<char>(command.code)));
    ASSERT_TRUE(rows.count(code)) << "the README leaves out command " << code;
    EXPECT_EQ(rows[code], std::to_string(ArgumentCount(command, DefaultModel()))) << code;
  }
}

TEST(LcdSessionTest, FedWholeOrAByteAtATimeTheScreenIsTheAdapters) {
  const std::string stream = LongSession().bytes;
  LcdScreen whole = SessionScreen();
  whole.Feed(stream);
  ExpectSessionEnd(whole);

  LcdScreen bytes = SessionScreen();
  for (char c : stream) bytes.Feed(std::string(1, c));
  ExpectSessionEnd(bytes);
}

TEST(LcdSessionTest, CutAnywhereTheScreenIsTheSame) {
  const std::string stream = LongSession().bytes;
  std::mt19937 random(20261209);
  for (int round = 0; round < 50; ++round) {
    LcdScreen screen = SessionScreen();
    for (std::size_t at = 0; at < stream.size();) {
      const std::size_t n = std::min<std::size_t>(1 + random() % 12, stream.size() - at);
      screen.Feed(stream.substr(at, n));
      at += n;
    }
    SCOPED_TRACE("round " + std::to_string(round));
    ExpectSessionEnd(screen);
  }
}

TEST(LcdSessionTest, OutputCommandsTakeAPortOnlyWhereTheModelSaysSo) {
  // The same bytes: on the plain model 'W' has no argument, so 0x02 is a character.
  const std::string bytes = std::string("\xFE\x57\x02", 3) + "ok";
  LcdScreen keypad(2, 16, *FindModel("keypad")), plain(2, 16, *FindModel("plain"));
  keypad.Feed(bytes);
  plain.Feed(bytes);
  EXPECT_TRUE(keypad.Settings().outputs[1]);
  EXPECT_EQ(Row(keypad, 0).substr(0, 2), "ok");
  EXPECT_TRUE(plain.Settings().outputs[0]);
  EXPECT_EQ(Row(plain, 0).substr(0, 3), "\x02ok");
  plain.Feed(std::string("\xFE\x56", 2));
  EXPECT_FALSE(plain.Settings().outputs[0]);
  EXPECT_EQ(FindModel("lk"), nullptr);
}

TEST(LcdSessionTest, TextPastTheLastCellFollowsWrapAndScroll) {
  LcdScreen screen(2, 16);
  screen.Feed(std::string("\xFE\x47\x10\x02", 4) + "ab");  // wrap on, scroll off: to the top
  EXPECT_EQ(Row(screen, 1)[15], 'a');
  EXPECT_EQ(Row(screen, 0)[0], 'b');
  screen.Feed(std::string("\xFE\x51\xFE\x47\x10\x02", 6) + "c");  // scroll on: the rows move up
  EXPECT_EQ(Row(screen, 0)[15], 'c');
  EXPECT_EQ(Row(screen, 1), std::string(16, ' '));
  EXPECT_EQ(screen.CursorRow(), 1);
  EXPECT_EQ(screen.CursorCol(), 0);
  screen.Feed(std::string("\xFE\x44\xFE\x47\x10\x01", 6) + "de");  // wrap off: e is not shown
  EXPECT_EQ(Row(screen, 0)[15], 'd');
  EXPECT_EQ(screen.CursorCol(), 16);
  EXPECT_EQ(screen.Stats().clippedCharacters, 1u);
  EXPECT_NE(StatusLines(screen, CharacterRom::Cyrillic)[1].find("past the end of the row"), std::string::npos);
  screen.Feed(std::string("\xFE\x43", 2) + "f");  // wrap on again: the next row
  EXPECT_EQ(Row(screen, 1)[0], 'f');
  screen.Feed(std::string("\xFE\x48\xFE\x4C", 4));  // left from the first cell: the last one
  EXPECT_EQ(screen.CursorRow(), 1);
  EXPECT_EQ(screen.CursorCol(), 15);
}

}  // namespace
