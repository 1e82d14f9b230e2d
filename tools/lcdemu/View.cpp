#include "tools/lcdemu/View.h"

#include "tools/lcdemu/Glyphs.h"

namespace {

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

std::string Status(const LcdScreen& screen) {
  const auto& c = screen.Stats();
  std::string status = "start-ups " + std::to_string(c.startUps) + ", unknown commands " +
                       std::to_string(c.unknownCommands) + ", truncated " + std::to_string(c.truncatedCommands) +
                       ", ignored positions " + std::to_string(c.ignoredPositions);
  if (c.ignoredPositions)
    status += " (last: column " + std::to_string(screen.LastIgnoredPosition().first) + ", row " +
              std::to_string(screen.LastIgnoredPosition().second) + ")";
  return status;
}

}  // namespace

std::string DumpText(const LcdScreen& Screen) {
  std::string text;
  for (int row = 0; row < Screen.Rows(); ++row) text += RowText(Screen, row) + "\n";
  text += "\n";
  for (int index = 0; index < 8; ++index) {
    if (!Screen.UserCharacterDefined(index)) continue;
    text += UserCharacterMark(index) + " user character " + std::to_string(index) + ":";
    for (std::uint8_t row : Screen.UserCharacter(index)) text += " " + PatternRow(row);
    text += "\n";
  }
  return text + Status(Screen) + "\n";
}

std::string LiveView(const LcdScreen& Screen, const std::string& Title) {
  std::string frame = "\x1b[H\x1b[2J" + Title + "\n";
  frame += "\u250C" + Repeat("\u2500", Screen.Cols()) + "\u2510\n";
  for (int row = 0; row < Screen.Rows(); ++row) frame += "\u2502" + RowText(Screen, row) + "\u2502\n";
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
  return frame + Status(Screen) + "\n";
}
