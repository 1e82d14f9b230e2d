#include "tools/lcdemu/Screen.h"

#include <algorithm>
#include <stdexcept>

namespace {
constexpr std::uint8_t CommandByte = 0xFE;
constexpr std::uint8_t Blank = 0x20;
}  // namespace

LcdScreen::LcdScreen(int rows, int cols, const Model& model) : rows_(rows), cols_(cols), model_(model) {
  const bool rowsOk = rows == 1 || rows == 2 || rows == 4;
  const bool colsOk = cols == 16 || cols == 20 || cols == 24 || cols == 32 || cols == 40;
  if (!rowsOk || !colsOk) throw std::invalid_argument("a display has 1, 2 or 4 rows of 16, 20, 24, 32 or 40 characters");
  cells_.assign(static_cast<std::size_t>(rows * cols), Blank);
  answers_.moduleType = model.moduleType;
}

void LcdScreen::Put(std::uint8_t code) {
  if (cursorCol_ == cols_) {
    // Past the end of the row: with line wrap off the text there is not shown; wrap switched
    // on meanwhile takes it to the next row.
    if (!settings_.lineWrap) {
      ++counts_.clippedCharacters;
      return;
    }
    NextRow();
  }
  cells_[static_cast<std::size_t>(cursorRow_ * cols_ + cursorCol_)] = code;
  if (++cursorCol_ == cols_ && settings_.lineWrap) NextRow();
}

void LcdScreen::NextRow() {
  cursorCol_ = 0;
  if (++cursorRow_ < rows_) return;
  cursorRow_ = settings_.autoScroll ? rows_ - 1 : 0;
  if (!settings_.autoScroll) return;
  std::copy(cells_.begin() + cols_, cells_.end(), cells_.begin());
  std::fill(cells_.end() - cols_, cells_.end(), Blank);
}

void LcdScreen::Step(int delta) {
  // The cursor walks the screen as one line, round from the last cell to the first.
  const int cells = rows_ * cols_;
  int at = cursorRow_ * cols_ + cursorCol_;
  if (cursorCol_ == cols_ && delta > 0) --at;  // past the row's end counts as its last cell
  at = ((at + delta) % cells + cells) % cells;
  cursorRow_ = at / cols_;
  cursorCol_ = at % cols_;
}

bool LcdScreen::Feed(const std::uint8_t* data, std::size_t size) {
  bool changed = false;
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint8_t b = data[i];
    switch (state_) {
      case State::Text:
        if (b == CommandByte) {
          state_ = State::Command;
        } else {
          Put(b);
          changed = true;
        }
        break;
      case State::Command:
        command_ = FindCommand(b);
        changed = true;
        if (!command_) {
          ++counts_.unknownCommands;
          unknownCodes_.set(b);
          state_ = State::Text;
          break;
        }
        args_.clear();
        wanted_ = ArgumentCount(*command_, model_);
        state_ = State::Arguments;
        if (wanted_ == 0) {
          state_ = State::Text;
          Run(*command_, nullptr);
        }
        break;
      case State::Arguments:
        args_.push_back(b);
        if (args_.size() == wanted_) {
          state_ = State::Text;
          Run(*command_, args_.data());
          changed = true;
        }
        break;
    }
  }
  return changed;
}

void LcdScreen::EndOfStream() {
  if (state_ != State::Text) ++counts_.truncatedCommands;
  state_ = State::Text;
  args_.clear();
}

bool LcdScreen::PressKey(char key) { return model_.keypad && keypad_.Press(key, line_); }

void LcdScreen::BacklightTimeUp() {
  settings_.backlight = false;
  settings_.backlightMinutes = 0;
}
