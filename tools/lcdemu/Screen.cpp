#include "tools/lcdemu/Screen.h"

#include <stdexcept>

namespace {
constexpr std::uint8_t CommandByte = 0xFE;
constexpr std::uint8_t Clear = 'X', Goto = 'G', Define = 'N', StartUp = 0xC0;
constexpr std::uint8_t Blank = 0x20;
}  // namespace

LcdScreen::LcdScreen(int rows, int cols) : rows_(rows), cols_(cols) {
  const bool rowsOk = rows == 1 || rows == 2 || rows == 4;
  const bool colsOk = cols == 16 || cols == 20 || cols == 24 || cols == 32 || cols == 40;
  if (!rowsOk || !colsOk) throw std::invalid_argument("a display has 1, 2 or 4 rows of 16, 20, 24, 32 or 40 characters");
  cells_.assign(static_cast<std::size_t>(rows * cols), Blank);
}

void LcdScreen::Put(std::uint8_t code) {
  cells_[static_cast<std::size_t>(cursorRow_ * cols_ + cursorCol_)] = code;
  // The cursor moves on and wraps to the next row, and from the last row to the first.
  if (++cursorCol_ == cols_) {
    cursorCol_ = 0;
    cursorRow_ = (cursorRow_ + 1) % rows_;
  }
}

bool LcdScreen::Finish() {
  state_ = State::Text;
  switch (command_) {
    case Goto: {
      // The adapter counts columns and rows from 1.
      const int col = params_[0], row = params_[1];
      if (col < 1 || col > cols_ || row < 1 || row > rows_) {
        ++counts_.ignoredPositions;
        lastIgnored_ = {col, row};
        return true;  // shown in the status
      }
      cursorCol_ = col - 1;
      cursorRow_ = row - 1;
      return false;
    }
    case Define: {
      const std::size_t index = params_[0] & 7;
      for (std::size_t i = 0; i < 8; ++i) user_[index][i] = static_cast<std::uint8_t>(params_[1 + i] & 0x1F);
      defined_[index] = true;
      return true;
    }
    case StartUp:
      ++counts_.startUps;
      return true;
    default:
      return false;
  }
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
        command_ = b;
        params_.clear();
        if (b == Clear) {
          cells_.assign(cells_.size(), Blank);
          cursorRow_ = cursorCol_ = 0;
          state_ = State::Text;
          changed = true;
        } else if (b == Goto) {
          state_ = State::Goto;
        } else if (b == Define) {
          state_ = State::Define;
        } else if (b == StartUp) {
          state_ = State::StartUp;
        } else {
          ++counts_.unknownCommands;
          state_ = State::Text;
          changed = true;
        }
        break;
      case State::Goto:
      case State::Define:
      case State::StartUp: {
        params_.push_back(b);
        const std::size_t wanted = state_ == State::Goto ? 2 : state_ == State::Define ? 9 : 1;
        if (params_.size() == wanted) changed = Finish() || changed;
        break;
      }
    }
  }
  return changed;
}

void LcdScreen::EndOfStream() {
  if (state_ != State::Text) ++counts_.truncatedCommands;
  state_ = State::Text;
  params_.clear();
}
