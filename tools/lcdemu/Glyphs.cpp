#include "tools/lcdemu/Glyphs.h"

#include <array>
#include <optional>

#include "display/CyrillicTable.h"
#include "runtime/Cp1251.h"

namespace {

// The display code to the Windows-1251 letter it shows: the module's table read backwards.
// Where two letters share a code the later one (the lower-case letter) stands for both.
struct Rom {
  std::array<std::optional<std::uint8_t>, 256> letter{};
  Rom() {
    for (std::size_t i = 0; i < CyrillicLetters.size(); ++i) letter[CyrillicDisplayCodes[i]] = CyrillicLetters[i];
  }
};
const Rom& CyrillicRom() {
  static const Rom rom;
  return rom;
}

bool CyrillicOnly(std::uint8_t code) { return code >= 0x80 && CyrillicRom().letter[code].has_value(); }
bool IsLetter(std::uint8_t code) {
  return CyrillicOnly(code) || (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z');
}

std::string Glyph(std::uint8_t code, bool cyrillicWord) {
  if (code < 8) return UserCharacterMark(code);
  if (CyrillicOnly(code) || (cyrillicWord && CyrillicRom().letter[code]))
    return Cp1251ToUtf8(std::string(1, static_cast<char>(*CyrillicRom().letter[code])));
  if (code >= 0x20 && code < 0x7F) return std::string(1, static_cast<char>(code));
  if (code == 0xFF) return "\u2588";  // the ROM's full block
  return "?";
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

std::string RowText(const LcdScreen& Screen, int Row) {
  std::string text;
  int col = 0;
  while (col < Screen.Cols()) {
    if (!IsLetter(Screen.Code(Row, col))) {
      text += Glyph(Screen.Code(Row, col++), false);
      continue;
    }
    int end = col;
    bool cyrillic = false;
    for (; end < Screen.Cols() && IsLetter(Screen.Code(Row, end)); ++end) cyrillic |= CyrillicOnly(Screen.Code(Row, end));
    for (; col < end; ++col) text += Glyph(Screen.Code(Row, col), cyrillic);
  }
  return text;
}
