// The two character ROMs an HD44780 display comes with, as the text each code shows: the
// Cyrillic ROM that the module's translation targets, and the standard Western/Japanese ROM
// (ASCII with ¥ and two arrows, katakana, Greek and mathematical signs).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class CharacterRom : std::uint8_t { Cyrillic, Western };

std::optional<CharacterRom> FindRom(std::string_view name);
const char* RomName(CharacterRom rom);

// The glyph of a code of the Western ROM as one UTF-8 character; codes 0..15 are the user
// characters, which the caller draws.
std::string WesternGlyph(std::uint8_t code);

// Codes of the Cyrillic ROM: the Windows-1251 letter a code shows, if it shows one.
std::optional<std::uint8_t> CyrillicLetter(std::uint8_t code);
