// The screen as people see it: a text dump for scripts and tests, and a framed live view for
// a terminal with the cursor, the backlight and the user characters drawn.
#pragma once

#include <string>

#include "tools/lcdemu/CharacterRoms.h"
#include "tools/lcdemu/Screen.h"

// The rows as UTF-8 lines, a blank line, the defined user characters, then the status lines.
std::string DumpText(const LcdScreen& Screen, CharacterRom Rom = CharacterRom::Cyrillic);
// A frame to draw on an ANSI terminal (it starts by homing the cursor and clearing); `Footer`
// ends it.
std::string LiveView(const LcdScreen& Screen, const std::string& Title, CharacterRom Rom = CharacterRom::Cyrillic,
                     const std::string& Footer = "");
