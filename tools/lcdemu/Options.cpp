#include "tools/lcdemu/Options.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace {

unsigned long Number(const std::string& option, const std::string& text, unsigned long high) {
  char* end = nullptr;
  errno = 0;
  const unsigned long value = std::strtoul(text.c_str(), &end, 0);
  if (text.empty() || text[0] == '-' || *end || errno || value > high)
    throw UsageError(option + " takes a number from 0 to " + std::to_string(high) + ", not '" + text + "'");
  return value;
}

std::array<std::uint8_t, 2> TwoBytes(const std::string& option, const std::string& text) {
  const unsigned long value = Number(option, text, 0xFFFF);
  return {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value & 0xFF)};
}

std::string KeysOf(const std::string& text) {
  std::string keys;
  for (char typed : text) {
    const std::optional<char> key = KeyForTyped(typed);
    if (!key) throw UsageError("--keys takes the keys A..Y, not '" + std::string(1, typed) + "'");
    keys += *key;
  }
  return keys;
}

}  // namespace

Options ParseOptions(const std::vector<std::string>& args) {
  Options options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw UsageError("missing value after " + arg);
      return args[++i];
    };
    if (arg == "--link") options.link = value();
    else if (arg == "--dump") options.dump = value();
    else if (arg == "--control") options.control = value();
    else if (arg == "--keys") options.keys = KeysOf(value());
    else if (arg == "--rows") options.rows = static_cast<int>(Number(arg, value(), 255));
    else if (arg == "--cols") options.cols = static_cast<int>(Number(arg, value(), 255));
    else if (arg == "--baud") options.baud = static_cast<unsigned>(Number(arg, value(), 4'000'000));
    else if (arg == "--module-type") options.moduleType = static_cast<std::uint8_t>(Number(arg, value(), 255));
    else if (arg == "--firmware") options.firmware = TwoBytes(arg, value());
    else if (arg == "--serial-number") options.serialNumber = TwoBytes(arg, value());
    else if (arg == "--quiet") options.quiet = true;
    else if (arg == "--help") options.help = true;
    else if (arg == "--model") {
      options.model = FindModel(value());
      if (!options.model) throw UsageError("unknown model '" + args[i] + "' (keypad or plain)");
    } else if (arg == "--rom") {
      const std::optional<CharacterRom> rom = FindRom(value());
      if (!rom) throw UsageError("unknown ROM '" + args[i] + "' (cyrillic or western)");
      options.rom = *rom;
    } else {
      throw UsageError("unknown option " + arg);
    }
  }
  if (options.help) return options;
  if (options.link.empty()) throw UsageError("--link PATH is required");
  if (!options.keys.empty() && !options.model->keypad)
    throw UsageError(std::string("the ") + options.model->name + " model has no keypad for --keys");
  if (options.baud == 0 && std::find(args.begin(), args.end(), "--baud") != args.end())
    throw UsageError("--baud takes a rate above 0");
  return options;
}

Answers AnswersFor(const Options& options) {
  Answers answers;
  answers.moduleType = options.moduleType.value_or(options.model->moduleType);
  if (options.firmware) answers.firmware = *options.firmware;
  if (options.serialNumber) answers.serialNumber = *options.serialNumber;
  return answers;
}

std::string UsageText() {
  return "usage: lcdemu --link PATH [--rows 1|2|4] [--cols 16|20|24|32|40] [--model keypad|plain]\n"
         "              [--rom cyrillic|western] [--baud RATE] [--dump FILE] [--keys KEYS] [--control PIPE]\n"
         "              [--module-type BYTE] [--firmware WORD] [--serial-number WORD] [--quiet]\n"
         "see the README's section on lcdemu for the commands it understands and the dump's format\n";
}
