// What the display shows for its character codes, as text, in either character ROM, and the
// user characters.
#pragma once

#include <cstdint>
#include <string>

#include "tools/lcdemu/CharacterRoms.h"
#include "tools/lcdemu/Screen.h"

// One row as UTF-8, a character per cell. In the Cyrillic ROM, letters it shares between
// Latin and Cyrillic (A, B, E, K, M, H, O, P, C, T, X, a, e, o, p, c, y, x) read as Cyrillic
// inside a word that has a letter only the Cyrillic ROM has, and as Latin otherwise; codes it
// has no known glyph for read as '?'. User characters 0..7 (codes 0..15) read as ⓪ ① … ⑦.
std::string RowText(const LcdScreen& Screen, int Row, CharacterRom Rom = CharacterRom::Cyrillic);
// One cell of a row as RowText shows it.
std::string CellText(const LcdScreen& Screen, int Row, int Col, CharacterRom Rom = CharacterRom::Cyrillic);
// The glyph of a user character code as in RowText.
std::string UserCharacterMark(int Index);
// The eight rows of a user character as five dots each, '#' on and '.' off.
std::string PatternRow(std::uint8_t Row, char On = '#', char Off = '.');
