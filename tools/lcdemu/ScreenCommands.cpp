// What each effect of the command table does to the display.
#include <algorithm>
#include <initializer_list>

#include "tools/lcdemu/Screen.h"

namespace {
constexpr std::uint8_t Blank = 0x20;
constexpr int DimmestLevel = 3;  // level 0 is the brightest
}  // namespace

void LcdScreen::Run(const Command& command, const std::uint8_t* args) {
  switch (command.effect) {
    case Effect::Clear:
      std::fill(cells_.begin(), cells_.end(), Blank);
      cursorRow_ = cursorCol_ = 0;
      break;
    case Effect::Home:
      cursorRow_ = cursorCol_ = 0;
      break;
    case Effect::Position:
      MoveTo(args[0], args[1]);
      break;
    case Effect::CursorLeft:
      Step(-1);
      break;
    case Effect::CursorRight:
      Step(1);
      break;
    case Effect::DefineCharacter: {
      const std::size_t index = args[0] & 7;
      for (std::size_t i = 0; i < 8; ++i) user_[index][i] = static_cast<std::uint8_t>(args[1 + i] & 0x1F);
      defined_[index] = true;
      break;
    }
    case Effect::StartUp:
      ++counts_.startUps;
      break;
    case Effect::LineWrap:
      settings_.lineWrap = command.on;
      break;
    case Effect::AutoScroll:
      settings_.autoScroll = command.on;
      break;
    case Effect::UnderlineCursor:
      settings_.underlineCursor = command.on;
      break;
    case Effect::BlockCursor:
      settings_.blockCursor = command.on;
      break;
    case Effect::BacklightOn:
      settings_.backlight = true;
      settings_.backlightMinutes = args[0];
      backlightTimer_ = args[0];
      break;
    case Effect::BacklightOff:
      settings_.backlight = false;
      settings_.backlightMinutes = 0;
      backlightTimer_ = 0;
      break;
    case Effect::Contrast:
      settings_.contrast = args[0];
      break;
    case Effect::Brightness:
      settings_.brightnessPercent = (args[0] * 100 + 127) / 255;
      break;
    case Effect::LevelBrightness:
      if (args[0] > DimmestLevel) {
        IgnoreArguments(command, args);
        break;
      }
      settings_.brightnessPercent = 100 - 25 * args[0];
      break;
    case Effect::Output:
      SetOutput(command, args);
      break;
    case Effect::AnswerModuleType:
      Answer({answers_.moduleType});
      break;
    case Effect::AnswerFirmware:
      Answer({answers_.firmware[0], answers_.firmware[1]});
      break;
    case Effect::AnswerSerialNumber:
      Answer({answers_.serialNumber[0], answers_.serialNumber[1]});
      break;
    case Effect::AutoTransmit:
      keypad_.SetAutoTransmit(command.on, line_);
      break;
    case Effect::PollKeypad:
      keypad_.Poll(line_);
      break;
    case Effect::ClearKeys:
      keypad_.ClearWaiting();
      break;
    case Effect::KeypadTiming:
      break;
    case Effect::Undrawn:
      ++counts_.undrawnCommands;
      undrawnCodes_.set(command.code);
      break;
  }
}

void LcdScreen::MoveTo(int col, int row) {
  // The adapter counts columns and rows from 1.
  if (col < 1 || col > cols_ || row < 1 || row > rows_) {
    ++counts_.ignoredPositions;
    lastIgnored_ = {col, row};
    return;
  }
  cursorCol_ = col - 1;
  cursorRow_ = row - 1;
}

void LcdScreen::SetOutput(const Command& command, const std::uint8_t* args) {
  const int port = model_.outputsTakePort ? args[0] : 1;
  if (port < 1 || port > model_.outputs || static_cast<std::size_t>(port) > settings_.outputs.size()) {
    IgnoreArguments(command, args);
    return;
  }
  settings_.outputs[static_cast<std::size_t>(port - 1)] = command.on;
}

void LcdScreen::IgnoreArguments(const Command& command, const std::uint8_t* args) {
  ++counts_.ignoredArguments;
  lastIgnoredArguments_ = {'\xFE', static_cast<char>(command.code)};
  lastIgnoredArguments_.append(reinterpret_cast<const char*>(args), ArgumentCount(command, model_));
}

void LcdScreen::Answer(std::initializer_list<std::uint8_t> bytes) {
  for (std::uint8_t b : bytes) line_.push_back(static_cast<char>(b));
  ++counts_.answers;
}
