// What the display shows for its character codes, as text: ASCII, the Cyrillic letters of its
// character ROM (the codes the module's translation targets), and the user characters.
#pragma once

#include <cstdint>
#include <string>

#include "tools/lcdemu/Screen.h"

// One row as UTF-8. Letters the ROM shares between Latin and Cyrillic (A, B, E, K, M, H, O,
// P, C, T, X, a, e, o, p, c, y, x) read as Cyrillic inside a word that has a letter only the
// Cyrillic ROM has, and as Latin otherwise. User characters 0..7 read as ⓪ ① … ⑦; codes the
// ROM has no known glyph for as '?'.
std::string RowText(const LcdScreen& Screen, int Row);
// The glyph of a user character code as in RowText.
std::string UserCharacterMark(int Index);
// The eight rows of a user character as five dots each, '#' on and '.' off.
std::string PatternRow(std::uint8_t Row, char On = '#', char Off = '.');
