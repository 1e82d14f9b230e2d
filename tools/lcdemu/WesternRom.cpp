#include "tools/lcdemu/CharacterRoms.h"

namespace {

// UTF-8 of one code point.
std::string Utf8(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
  return out;
}

// 0xE0..0xFF: Greek letters, letters with descenders or umlauts, and signs; 0xFE is blank and
// 0xFF the full block.
const char* const HighSigns[32] = {
    "α", "ä", "β", "ε", "μ", "σ", "ρ", "g", "√", "¹", "j", "ˣ", "¢", "£", "ñ", "ö",
    "p", "q", "θ", "∞", "Ω", "ü", "Σ", "π", "x̄", "y", "千", "万", "円", "÷", " ", "█",
};

constexpr std::uint8_t FirstKatakana = 0xA1, LastKatakana = 0xDF;
constexpr char32_t HalfwidthIdeographicStop = 0xFF61;  // the first of the ROM's katakana block

}  // namespace

std::string WesternGlyph(std::uint8_t code) {
  if (code >= 0xE0) return HighSigns[code - 0xE0];
  if (code >= FirstKatakana && code <= LastKatakana) return Utf8(HalfwidthIdeographicStop + (code - FirstKatakana));
  switch (code) {
    case 0x5C:
      return "¥";
    case 0x7E:
      return "→";
    case 0x7F:
      return "←";
  }
  // 0x10..0x1F and 0x80..0xA0 hold no glyph: the cell stays blank.
  if (code < 0x20 || code >= 0x80) return " ";
  return std::string(1, static_cast<char>(code));
}
