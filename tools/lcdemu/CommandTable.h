// The adapter's command language as data: every command the emulated display knows (the byte
// after 0xFE), how many argument bytes follow it, and what it does; and the models, which
// differ in what they have and in the length of some arguments. A new command is one line of
// the table in CommandTable.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// What a command does to the display. Switches carry their direction in Command::on.
enum class Effect : std::uint8_t {
  Clear,
  Home,
  Position,         // [col row], counted from 1
  CursorLeft,
  CursorRight,
  DefineCharacter,  // [index, eight rows]
  StartUp,          // [n]
  LineWrap,
  AutoScroll,
  UnderlineCursor,
  BlockCursor,
  BacklightOn,      // [minutes], 0 = stays on
  BacklightOff,
  Contrast,         // [0..255]
  Brightness,       // [0..255]
  LevelBrightness,  // [0..3]: 100, 75, 50 or 25 per cent
  Output,           // [port] where the model's outputs take one
  AnswerModuleType,
  AnswerFirmware,
  AnswerSerialNumber,
  AutoTransmit,
  PollKeypad,
  ClearKeys,
  KeypadTiming,     // debounce and auto-repeat: accepted, nothing to show
  Undrawn,          // bar graphs and large digits: framed and counted, not drawn here
};

// The argument bytes that follow a command: a fixed count, or the port byte of the output
// commands on models whose outputs take one.
struct Arguments {
  std::uint8_t count = 0;
  bool outputPort = false;
};

struct Command {
  std::uint8_t code;
  Arguments arguments;
  Effect effect;
  bool on;  // which way a switch goes
  const char* meaning;
};

struct Model {
  const char* name;
  bool keypad;
  std::uint8_t outputs;          // general-purpose outputs, numbered from 1
  bool outputsTakePort;          // the output commands name the output
  std::uint8_t moduleType;       // the default answer to the module-type query
  const char* description;
};

std::span<const Command> Commands();
// The command a byte after 0xFE names, or nullptr.
const Command* FindCommand(std::uint8_t code);
std::size_t ArgumentCount(const Command& command, const Model& model);

std::span<const Model> Models();
const Model& DefaultModel();
// The model of that name, or nullptr.
const Model* FindModel(std::string_view name);
