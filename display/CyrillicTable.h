// The display's character codes for the 66 Cyrillic letters of Windows-1251.
#pragma once

#include <array>
#include <cstdint>

// The letters (А..Я with Ё after Е, Ь before Ъ, then the same in lower case) and, at the same
// position, the code the display's character ROM shows them with.
extern const std::array<std::uint8_t, 66> CyrillicLetters;
extern const std::array<std::uint8_t, 66> CyrillicDisplayCodes;
