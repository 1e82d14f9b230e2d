// The display behind a serial LCD adapter: it interprets the adapter's command strings
// (0xFE 'X' clear, 0xFE 'G' col row, 0xFE 'N' index + eight rows, 0xFE 0xC0 + one byte; any
// other byte is a character at the cursor) and keeps the screen and the eight user characters.
// Commands may arrive split across reads; nothing that arrives can make it fail.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class LcdScreen {
 public:
  // rows 1, 2 or 4; columns 16, 20, 24, 32 or 40. Other sizes raise std::invalid_argument.
  LcdScreen(int rows, int cols);

  // Interprets bytes as they come from the line; true when anything visible changed.
  bool Feed(const std::uint8_t* data, std::size_t size);
  bool Feed(const std::string& bytes) { return Feed(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()); }
  // The line has closed: a command still waiting for its parameters is counted as truncated.
  void EndOfStream();

  int Rows() const { return rows_; }
  int Cols() const { return cols_; }
  // Codes as the display holds them, row by row.
  std::uint8_t Code(int row, int col) const { return cells_[static_cast<std::size_t>(row * cols_ + col)]; }
  int CursorRow() const { return cursorRow_; }
  int CursorCol() const { return cursorCol_; }
  using Pattern = std::array<std::uint8_t, 8>;
  const Pattern& UserCharacter(int index) const { return user_[static_cast<std::size_t>(index & 7)]; }
  bool UserCharacterDefined(int index) const { return defined_[static_cast<std::size_t>(index & 7)]; }

  struct Counts {
    unsigned unknownCommands = 0;   // 0xFE followed by a byte that names no command
    unsigned truncatedCommands = 0; // a command the line ended in the middle of
    unsigned ignoredPositions = 0;  // 'G' outside the screen
    unsigned startUps = 0;
  };
  const Counts& Stats() const { return counts_; }
  // The last position command that was ignored, as (col, row) as sent; (0, 0) when none.
  std::pair<int, int> LastIgnoredPosition() const { return lastIgnored_; }

 private:
  enum class State { Text, Command, Goto, Define, StartUp };
  void Put(std::uint8_t code);
  bool Finish();  // runs the collected command; true when the screen changed

  int rows_, cols_;
  std::vector<std::uint8_t> cells_;
  int cursorRow_ = 0, cursorCol_ = 0;
  std::array<Pattern, 8> user_{};
  std::array<bool, 8> defined_{};
  State state_ = State::Text;
  std::uint8_t command_ = 0;
  std::vector<std::uint8_t> params_;
  Counts counts_;
  std::pair<int, int> lastIgnored_{0, 0};
};
