// The display behind a serial LCD adapter: it interprets the adapter's command strings (0xFE,
// a command byte from the command table, then as many argument bytes as the table says; any
// other byte is a character at the cursor), keeps the screen, the eight user characters and
// the adapter's settings, and collects what the display sends back on the line (answers to
// queries, keys). Commands may arrive split across reads; nothing that arrives can make it
// fail, and no argument byte ever reaches the screen.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tools/lcdemu/CommandTable.h"
#include "tools/lcdemu/Keypad.h"

// What the three queries answer.
struct Answers {
  std::uint8_t moduleType = 0;
  std::array<std::uint8_t, 2> firmware{0x01, 0x00};
  std::array<std::uint8_t, 2> serialNumber{0x00, 0x01};
};

// The adapter's settings as the commands leave them.
struct DisplaySettings {
  bool underlineCursor = false;
  bool blockCursor = false;
  bool lineWrap = true;  // text after the last column goes on at the next row
  bool autoScroll = false;  // text after the last row scrolls the screen up instead of going to the top
  bool backlight = true;
  int backlightMinutes = 0;  // the backlight goes off after these; 0: it stays on
  int contrast = 128;
  int brightnessPercent = 100;
  std::array<bool, 8> outputs{};  // the model's outputs, from output 1

  bool operator==(const DisplaySettings&) const = default;
};

class LcdScreen {
 public:
  // rows 1, 2 or 4; columns 16, 20, 24, 32 or 40. Other sizes raise std::invalid_argument.
  LcdScreen(int rows, int cols, const Model& model = DefaultModel());

  // Interprets bytes as they come from the line; true when anything visible changed.
  bool Feed(const std::uint8_t* data, std::size_t size);
  bool Feed(const std::string& bytes) { return Feed(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()); }
  // The line has closed: a command still waiting for its arguments is counted as truncated.
  void EndOfStream();

  // A key pressed on the display's keypad ('A'..'Y'); false when the model has no keypad,
  // it is no key, or the keypad's buffer is full.
  bool PressKey(char key);
  // What the display has sent back on the line since the last call: answers and keys, in order.
  std::string TakeLineOutput() { return std::exchange(line_, {}); }
  // The backlight time-out the last backlight command asked for, taken once: minutes, 0 when
  // an earlier time-out is off.
  std::optional<int> TakeBacklightTimer() { return std::exchange(backlightTimer_, std::nullopt); }
  // The backlight's time is up.
  void BacklightTimeUp();
  void SetAnswers(const Answers& answers) { answers_ = answers; }
  // The line took only part of what the display sent; the rest is lost.
  void LineRefused(std::size_t bytes) { counts_.undelivered += static_cast<unsigned>(bytes); }

  int Rows() const { return rows_; }
  int Cols() const { return cols_; }
  const Model& DisplayModel() const { return model_; }
  // Codes as the display holds them, row by row.
  std::uint8_t Code(int row, int col) const { return cells_[static_cast<std::size_t>(row * cols_ + col)]; }
  int CursorRow() const { return cursorRow_; }
  // Cols() when text has run past the end of the row with line wrap off.
  int CursorCol() const { return cursorCol_; }
  using Pattern = std::array<std::uint8_t, 8>;
  const Pattern& UserCharacter(int index) const { return user_[static_cast<std::size_t>(index & 7)]; }
  bool UserCharacterDefined(int index) const { return defined_[static_cast<std::size_t>(index & 7)]; }
  const DisplaySettings& Settings() const { return settings_; }
  const Keypad& Keys() const { return keypad_; }
  const Answers& QueryAnswers() const { return answers_; }

  struct Counts {
    unsigned unknownCommands = 0;    // 0xFE followed by a byte that names no command
    unsigned truncatedCommands = 0;  // a command the line ended in the middle of
    unsigned ignoredPositions = 0;   // 'G' outside the screen
    unsigned ignoredArguments = 0;   // other commands whose argument is out of range
    unsigned clippedCharacters = 0;  // text past the end of a row with line wrap off
    unsigned startUps = 0;
    unsigned undrawnCommands = 0;    // bar graphs and large digits, which this display does not draw
    unsigned answers = 0;            // queries answered
    unsigned undelivered = 0;        // bytes sent back that the line did not take
  };
  const Counts& Stats() const { return counts_; }
  // The bytes that followed 0xFE in unknown commands, and in commands that were not drawn.
  const std::bitset<256>& UnknownCodes() const { return unknownCodes_; }
  const std::bitset<256>& UndrawnCodes() const { return undrawnCodes_; }
  // The last position command that was ignored, as (col, row) as sent; (0, 0) when none.
  std::pair<int, int> LastIgnoredPosition() const { return lastIgnored_; }
  // The last command whose argument was ignored, as it came (0xFE, command, arguments).
  const std::string& LastIgnoredArguments() const { return lastIgnoredArguments_; }

 private:
  enum class State { Text, Command, Arguments };
  void Put(std::uint8_t code);
  void NextRow();
  void Step(int delta);
  // Runs the collected command; in ScreenCommands.cpp.
  void Run(const Command& command, const std::uint8_t* args);
  void MoveTo(int col, int row);
  void SetOutput(const Command& command, const std::uint8_t* args);
  void IgnoreArguments(const Command& command, const std::uint8_t* args);
  void Answer(std::initializer_list<std::uint8_t> bytes);

  int rows_, cols_;
  const Model& model_;
  std::vector<std::uint8_t> cells_;
  int cursorRow_ = 0, cursorCol_ = 0;
  std::array<Pattern, 8> user_{};
  std::array<bool, 8> defined_{};
  DisplaySettings settings_;
  Keypad keypad_;
  Answers answers_;
  std::string line_;
  std::optional<int> backlightTimer_;

  State state_ = State::Text;
  const Command* command_ = nullptr;
  std::size_t wanted_ = 0;
  std::vector<std::uint8_t> args_;

  Counts counts_;
  std::bitset<256> unknownCodes_, undrawnCodes_;
  std::pair<int, int> lastIgnored_{0, 0};
  std::string lastIgnoredArguments_;
};
