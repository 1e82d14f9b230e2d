// The display's state in words, a line per concern, for the dump and the live view: the
// cursor, where text goes, the backlight and the outputs, the keypad, and what was counted.
#pragma once

#include <string>
#include <vector>

#include "tools/lcdemu/CharacterRoms.h"
#include "tools/lcdemu/Screen.h"

std::vector<std::string> StatusLines(const LcdScreen& Screen, CharacterRom Rom);
