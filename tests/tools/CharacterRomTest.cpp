// The two character ROMs: every code shows as one character cell, the Western ROM's special
// codes as their glyphs, and the user characters in both.
#include <gtest/gtest.h>

#include "tools/lcdemu/Glyphs.h"
#include "tools/lcdemu/Screen.h"

namespace {

std::string Shown(std::uint8_t code, CharacterRom rom) {
  LcdScreen screen(1, 16);
  screen.Feed(std::string{static_cast<char>(code)});
  return CellText(screen, 0, 0, rom);
}

// Code points of a UTF-8 text, without combining marks.
std::size_t Characters(const std::string& utf8) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i)
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80 && utf8.compare(i, 2, "\u0304") != 0) ++n;
  return n;
}

TEST(CharacterRomTest, EveryCodeOfEitherRomIsOneCharacter) {
  for (int code = 0; code < 256; ++code) {
    if (code == 0xFE) continue;  // the command byte never reaches a cell
    for (CharacterRom rom : {CharacterRom::Cyrillic, CharacterRom::Western})
      EXPECT_EQ(Characters(Shown(static_cast<std::uint8_t>(code), rom)), 1u) << RomName(rom) << " " << code;
    if (code != '?') {
      EXPECT_NE(Shown(static_cast<std::uint8_t>(code), CharacterRom::Western), "?") << code;
    }
  }
}

TEST(CharacterRomTest, TheWesternRomHasItsArrowsYenKatakanaAndSigns) {
  const std::pair<std::uint8_t, const char*> glyphs[] = {
      {'A', "A"},  {0x5C, "¥"}, {0x7E, "→"}, {0x7F, "←"}, {0xA1, "｡"}, {0xB1, "ｱ"}, {0xDD, "ﾝ"},
      {0xDF, "ﾟ"}, {0xE0, "α"}, {0xE4, "μ"}, {0xF4, "Ω"}, {0xF7, "π"}, {0xFF, "█"}, {0x10, " "},
      {0x90, " "}, {0xA0, " "}};
  for (const auto& [code, glyph] : glyphs) EXPECT_EQ(Shown(code, CharacterRom::Western), glyph) << int{code};
  // The same codes in the Cyrillic ROM: 0xA1 is Г there.
  EXPECT_EQ(Shown(0xA1, CharacterRom::Cyrillic), "Г");
  EXPECT_EQ(Shown(0x7E, CharacterRom::Cyrillic), "~");
}

TEST(CharacterRomTest, CodesZeroToFifteenAreTheUserCharactersInBothRoms) {
  for (CharacterRom rom : {CharacterRom::Cyrillic, CharacterRom::Western}) {
    EXPECT_EQ(Shown(0, rom), UserCharacterMark(0));
    EXPECT_EQ(Shown(7, rom), UserCharacterMark(7));
    EXPECT_EQ(Shown(8, rom), UserCharacterMark(0));
    EXPECT_EQ(Shown(15, rom), UserCharacterMark(7));
  }
  EXPECT_EQ(FindRom("western"), CharacterRom::Western);
  EXPECT_EQ(FindRom("japanese"), std::nullopt);
}

}  // namespace
