#include "tools/lcdemu/Status.h"

#include "tools/lcdemu/HexBytes.h"

#include <algorithm>

namespace {

std::string OnOff(bool on) { return on ? "on" : "off"; }
std::string Number(unsigned n) { return std::to_string(n); }

std::string DisplayLine(const LcdScreen& screen, CharacterRom rom) {
  return "display: " + std::to_string(screen.Rows()) + " x " + std::to_string(screen.Cols()) + ", model " +
         screen.DisplayModel().name + ", ROM " + RomName(rom);
}

std::string CursorLine(const LcdScreen& screen) {
  const DisplaySettings& s = screen.Settings();
  std::string line = "cursor: row " + std::to_string(screen.CursorRow() + 1) + ", ";
  line += screen.CursorCol() == screen.Cols() ? "past the end of the row" : "column " + std::to_string(screen.CursorCol() + 1);
  return line + "; underline " + OnOff(s.underlineCursor) + ", blinking block " + OnOff(s.blockCursor);
}

std::string TextLine(const DisplaySettings& s) {
  return "text: line wrap " + OnOff(s.lineWrap) + ", auto-scroll " + OnOff(s.autoScroll);
}

std::string LightLine(const DisplaySettings& s) {
  std::string line = "light: backlight " + OnOff(s.backlight);
  if (s.backlight)
    line += s.backlightMinutes ? " (off after " + std::to_string(s.backlightMinutes) + " min)" : " (stays on)";
  return line + ", contrast " + std::to_string(s.contrast) + ", brightness " + std::to_string(s.brightnessPercent) + "%";
}

std::string OutputsLine(const LcdScreen& screen) {
  const auto& outputs = screen.Settings().outputs;
  const std::size_t count = std::min<std::size_t>(screen.DisplayModel().outputs, outputs.size());
  std::string line = "outputs:";
  for (std::size_t i = 0; i < count; ++i) line += (i ? ", " : " ") + std::to_string(i + 1) + " " + OnOff(outputs[i]);
  return line;
}

std::string KeypadLine(const LcdScreen& screen) {
  if (!screen.DisplayModel().keypad) return "keypad: none";
  const Keypad& keys = screen.Keys();
  std::string waiting;
  for (char key : keys.Waiting()) waiting += key;
  std::string line = "keypad: auto-transmit " + OnOff(keys.AutoTransmit()) + ", waiting " +
                     (waiting.empty() ? "none" : waiting) + ", sent " + Number(keys.Sent());
  if (keys.LastSent()) line += " (last " + std::string(1, *keys.LastSent()) + ")";
  return line + ", dropped " + Number(keys.Dropped());
}

// The command bytes of a set in hex, in brackets; nothing for an empty set.
std::string Codes(const std::bitset<256>& set) {
  std::string codes;
  for (std::size_t code = 0; code < set.size(); ++code)
    if (set.test(code)) codes.push_back(static_cast<char>(code));
  return codes.empty() ? "" : " (" + HexBytes(codes) + ")";
}

std::string CommandsLine(const LcdScreen& screen) {
  const LcdScreen::Counts& c = screen.Stats();
  std::string line = "commands: start-ups " + Number(c.startUps) + ", unknown commands " + Number(c.unknownCommands) +
                     Codes(screen.UnknownCodes()) + ", truncated " + Number(c.truncatedCommands) + ", not drawn " +
                     Number(c.undrawnCommands) + Codes(screen.UndrawnCodes()) + ", answers " + Number(c.answers);
  if (c.undelivered) line += ", undelivered " + Number(c.undelivered);
  return line;
}

std::string IgnoredLine(const LcdScreen& screen) {
  const LcdScreen::Counts& c = screen.Stats();
  std::string line = "ignored: positions " + Number(c.ignoredPositions);
  if (c.ignoredPositions)
    line += " (last: column " + std::to_string(screen.LastIgnoredPosition().first) + ", row " +
            std::to_string(screen.LastIgnoredPosition().second) + ")";
  line += ", arguments " + Number(c.ignoredArguments);
  if (c.ignoredArguments) line += " (last: " + HexBytes(screen.LastIgnoredArguments()) + ")";
  return line + ", characters past a row's end " + Number(c.clippedCharacters);
}

}  // namespace

std::vector<std::string> StatusLines(const LcdScreen& Screen, CharacterRom Rom) {
  const DisplaySettings& s = Screen.Settings();
  return {DisplayLine(Screen, Rom), CursorLine(Screen), TextLine(s), LightLine(s),
          OutputsLine(Screen),      KeypadLine(Screen), CommandsLine(Screen), IgnoredLine(Screen)};
}
