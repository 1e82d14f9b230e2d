#include "tools/lcdemu/Glyphs.h"

#include "runtime/Cp1251.h"
#include "tools/lcdemu/CharacterRoms.h"

namespace {

// Codes 0..15 show the user characters: 8..15 are 0..7 again.
constexpr std::uint8_t FirstRomCode = 0x10;

bool CyrillicOnly(std::uint8_t code) { return code >= 0x80 && CyrillicLetter(code).has_value(); }
bool IsLetter(std::uint8_t code) {
  return CyrillicOnly(code) || (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z');
}

std::string CyrillicGlyph(std::uint8_t code, bool cyrillicWord) {
  if (CyrillicOnly(code) || (cyrillicWord && CyrillicLetter(code)))
    return Cp1251ToUtf8(std::string(1, static_cast<char>(*CyrillicLetter(code))));
  if (code >= 0x20 && code < 0x7F) return std::string(1, static_cast<char>(code));
  if (code == 0xFF) return "\u2588";  // the ROM's full block
  return "?";
}

std::string Glyph(std::uint8_t code, CharacterRom rom, bool cyrillicWord) {
  if (code < FirstRomCode) return UserCharacterMark(code);
  return rom == CharacterRom::Western ? WesternGlyph(code) : CyrillicGlyph(code, cyrillicWord);
}

}  // namespace

std::string UserCharacterMark(int Index) {
  static const char* const marks[8] = {"\u24EA", "\u2460", "\u2461", "\u2462", "\u2463", "\u2464", "\u2465", "\u2466"};
  return marks[Index & 7];
}

std::string PatternRow(std::uint8_t Row, char On, char Off) {
  std::string dots;
  for (int bit = 4; bit >= 0; --bit) dots.push_back((Row >> bit) & 1 ? On : Off);
  return dots;
}

std::string CellText(const LcdScreen& Screen, int Row, int Col, CharacterRom Rom) {
  const std::uint8_t code = Screen.Code(Row, Col);
  if (Rom != CharacterRom::Cyrillic || !IsLetter(code)) return Glyph(code, Rom, false);
  // A shared letter reads as Cyrillic when its word has a letter only the Cyrillic ROM has.
  int start = Col, end = Col;
  while (start > 0 && IsLetter(Screen.Code(Row, start - 1))) --start;
  while (end < Screen.Cols() && IsLetter(Screen.Code(Row, end))) ++end;
  bool cyrillic = false;
  for (int col = start; col < end; ++col) cyrillic |= CyrillicOnly(Screen.Code(Row, col));
  return Glyph(code, Rom, cyrillic);
}

std::string RowText(const LcdScreen& Screen, int Row, CharacterRom Rom) {
  std::string text;
  for (int col = 0; col < Screen.Cols(); ++col) text += CellText(Screen, Row, col, Rom);
  return text;
}
