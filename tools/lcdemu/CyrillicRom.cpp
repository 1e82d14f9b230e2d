#include <array>

#include "display/CyrillicTable.h"
#include "tools/lcdemu/CharacterRoms.h"

namespace {

// The display code to the Windows-1251 letter it shows: the module's table read backwards.
// Where two letters share a code the later one (the lower-case letter) stands for both.
struct Letters {
  std::array<std::optional<std::uint8_t>, 256> byCode{};
  Letters() {
    for (std::size_t i = 0; i < CyrillicLetters.size(); ++i) byCode[CyrillicDisplayCodes[i]] = CyrillicLetters[i];
  }
};

}  // namespace

std::optional<std::uint8_t> CyrillicLetter(std::uint8_t code) {
  static const Letters letters;
  return letters.byCode[code];
}

std::optional<CharacterRom> FindRom(std::string_view name) {
  if (name == "cyrillic") return CharacterRom::Cyrillic;
  if (name == "western") return CharacterRom::Western;
  return std::nullopt;
}

const char* RomName(CharacterRom rom) { return rom == CharacterRom::Western ? "western" : "cyrillic"; }
