#include "tools/lcdemu/CommandTable.h"

#include <array>

namespace {

constexpr Arguments None{0}, One{1}, Two{2}, Four{4}, Definition{9}, OutputPort{0, true};

// clang-format off
constexpr Command Table[] = {
    {0x58, None,       Effect::Clear,              false, "clear the screen, cursor home"},
    {0x48, None,       Effect::Home,               false, "cursor home"},
    {0x47, Two,        Effect::Position,           false, "cursor to [column row], from 1"},
    {0x4C, None,       Effect::CursorLeft,         false, "cursor left"},
    {0x4D, None,       Effect::CursorRight,        false, "cursor right"},
    {0x4E, Definition, Effect::DefineCharacter,    false, "define user character [index, 8 rows]"},
    {0xC0, One,        Effect::StartUp,            false, "start-up [n]"},
    {0x43, None,       Effect::LineWrap,           true,  "line wrap on"},
    {0x44, None,       Effect::LineWrap,           false, "line wrap off"},
    {0x51, None,       Effect::AutoScroll,         true,  "auto-scroll on"},
    {0x52, None,       Effect::AutoScroll,         false, "auto-scroll off"},
    {0x4A, None,       Effect::UnderlineCursor,    true,  "underline cursor on"},
    {0x4B, None,       Effect::UnderlineCursor,    false, "underline cursor off"},
    {0x53, None,       Effect::BlockCursor,        true,  "blinking block cursor on"},
    {0x54, None,       Effect::BlockCursor,        false, "blinking block cursor off"},
    {0x42, One,        Effect::BacklightOn,        true,  "backlight on [minutes, 0 = stay on]"},
    {0x46, None,       Effect::BacklightOff,       false, "backlight off"},
    {0x50, One,        Effect::Contrast,           false, "contrast [0..255]"},
    {0x91, One,        Effect::Contrast,           false, "contrast, kept [0..255]"},
    {0x99, One,        Effect::Brightness,         false, "brightness [0..255]"},
    {0x98, One,        Effect::Brightness,         false, "brightness, kept [0..255]"},
    {0x59, One,        Effect::LevelBrightness,    false, "brightness level [0..3] (vacuum-fluorescent)"},
    {0x56, OutputPort, Effect::Output,             false, "output off [port on keypad models]"},
    {0x57, OutputPort, Effect::Output,             true,  "output on [port on keypad models]"},
    {0x37, None,       Effect::AnswerModuleType,   false, "answer: module type, one byte"},
    {0x36, None,       Effect::AnswerFirmware,     false, "answer: firmware revision, two bytes"},
    {0x35, None,       Effect::AnswerSerialNumber, false, "answer: serial number, two bytes"},
    {0x41, None,       Effect::AutoTransmit,       true,  "keypad auto-transmit on"},
    {0x4F, None,       Effect::AutoTransmit,       false, "keypad auto-transmit off"},
    {0x26, None,       Effect::PollKeypad,         false, "poll keypad: answer one key or 0"},
    {0x45, None,       Effect::ClearKeys,          false, "clear the keys waiting for a poll"},
    {0x55, One,        Effect::KeypadTiming,       false, "keypad debounce [time]"},
    {0x7E, One,        Effect::KeypadTiming,       true,  "keypad auto-repeat on [mode]"},
    {0x60, None,       Effect::KeypadTiming,       false, "keypad auto-repeat off"},
    {0x68, None,       Effect::Undrawn,            false, "load horizontal bar characters"},
    {0x76, None,       Effect::Undrawn,            false, "load thick vertical bar characters"},
    {0x73, None,       Effect::Undrawn,            false, "load thin vertical bar characters"},
    {0x7C, Four,       Effect::Undrawn,            false, "horizontal bar [column row direction length]"},
    {0x3D, Two,        Effect::Undrawn,            false, "vertical bar [column length]"},
    {0x6E, None,       Effect::Undrawn,            false, "load large digit characters"},
    {0x23, Two,        Effect::Undrawn,            false, "large digit [column digit]"},
};

constexpr Model ModelTable[] = {
    {"keypad", true,  6, true,  0x02, "a keypad of 25 keys; six outputs, named by port"},
    {"plain",  false, 1, false, 0x01, "no keypad; one output, the commands take no port"},
};
// clang-format on

// The table by command byte, built once.
struct Index {
  std::array<const Command*, 256> byCode{};
  Index() {
    for (const Command& command : Table) byCode[command.code] = &command;
  }
};

}  // namespace

std::span<const Command> Commands() { return Table; }

const Command* FindCommand(std::uint8_t code) {
  static const Index index;
  return index.byCode[code];
}

std::size_t ArgumentCount(const Command& command, const Model& model) {
  return command.arguments.count + (command.arguments.outputPort && model.outputsTakePort ? 1 : 0);
}

std::span<const Model> Models() { return ModelTable; }
const Model& DefaultModel() { return ModelTable[0]; }

const Model* FindModel(std::string_view name) {
  for (const Model& model : ModelTable)
    if (name == model.name) return &model;
  return nullptr;
}
