#include "tools/lcdemu/View.h"

#include "tools/lcdemu/Glyphs.h"
#include "tools/lcdemu/Status.h"

namespace {

constexpr const char* Dim = "\x1b[2m";  // the backlight is off
constexpr const char* Underline = "\x1b[4m";
constexpr const char* BlinkingBlock = "\x1b[5;7m";
constexpr const char* Plain = "\x1b[0m";

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

std::string Status(const LcdScreen& screen, CharacterRom rom) {
  std::string text;
  for (const std::string& line : StatusLines(screen, rom)) text += line + "\n";
  return text;
}

// A row with the terminal's attributes for the cursor and for a dark backlight.
std::string LiveRow(const LcdScreen& screen, int row, CharacterRom rom) {
  const DisplaySettings& s = screen.Settings();
  const std::string base = s.backlight ? "" : Dim;
  const bool cursorShown = (s.underlineCursor || s.blockCursor) && screen.CursorRow() == row;
  std::string text = base;
  for (int col = 0; col < screen.Cols(); ++col) {
    const std::string cell = CellText(screen, row, col, rom);
    if (cursorShown && screen.CursorCol() == col)
      text += (s.blockCursor ? BlinkingBlock : Underline) + cell + Plain + base;
    else
      text += cell;
  }
  return base.empty() && !cursorShown ? text : text + Plain;
}

}  // namespace

std::string DumpText(const LcdScreen& Screen, CharacterRom Rom) {
  std::string text;
  for (int row = 0; row < Screen.Rows(); ++row) text += RowText(Screen, row, Rom) + "\n";
  text += "\n";
  for (int index = 0; index < 8; ++index) {
    if (!Screen.UserCharacterDefined(index)) continue;
    text += UserCharacterMark(index) + " user character " + std::to_string(index) + ":";
    for (std::uint8_t row : Screen.UserCharacter(index)) text += " " + PatternRow(row);
    text += "\n";
  }
  return text + Status(Screen, Rom);
}

std::string LiveView(const LcdScreen& Screen, const std::string& Title, CharacterRom Rom, const std::string& Footer) {
  std::string frame = "\x1b[H\x1b[2J" + Title + "\n";
  frame += "\u250C" + Repeat("\u2500", Screen.Cols()) + "\u2510\n";
  for (int row = 0; row < Screen.Rows(); ++row) frame += "\u2502" + LiveRow(Screen, row, Rom) + "\u2502\n";
  frame += "\u2514" + Repeat("\u2500", Screen.Cols()) + "\u2518\n";
  // The user characters side by side, eight rows of five dots each.
  std::string marks, rows[8];
  for (int index = 0; index < 8; ++index) {
    if (!Screen.UserCharacterDefined(index)) continue;
    marks += "  " + UserCharacterMark(index) + "    ";
    for (int r = 0; r < 8; ++r) rows[r] += "  " + PatternRow(Screen.UserCharacter(index)[static_cast<std::size_t>(r)], '#', ' ') + " ";
  }
  if (!marks.empty()) {
    frame += marks + "\n";
    for (const std::string& row : rows) frame += row + "\n";
  }
  return frame + Status(Screen, Rom) + Footer;
}
