// lcdemu's command line.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/lcdemu/CharacterRoms.h"
#include "tools/lcdemu/CommandTable.h"
#include "tools/lcdemu/Screen.h"

struct Options {
  std::string link;
  std::string dump;
  std::string control;  // the control pipe, when there is one
  std::string keys;     // pressed when the first bytes have arrived from the line
  int rows = 2;
  int cols = 16;
  const Model* model = &DefaultModel();
  CharacterRom rom = CharacterRom::Cyrillic;
  unsigned baud = 0;  // 0: bytes are taken as fast as they come
  bool quiet = false;
  bool help = false;
  std::optional<std::uint8_t> moduleType;
  std::optional<std::array<std::uint8_t, 2>> firmware, serialNumber;
};

// A command line that cannot be run; what() says why.
class UsageError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

// Raises UsageError; --help alone needs no --link.
Options ParseOptions(const std::vector<std::string>& args);
// The answers the options configure over the model's own.
Answers AnswersFor(const Options& options);
std::string UsageText();
