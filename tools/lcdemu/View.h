// The screen as people see it: a text dump for scripts and tests, and a framed live view for
// a terminal with the user characters drawn beside it.
#pragma once

#include <string>

#include "tools/lcdemu/Screen.h"

// The rows as UTF-8 lines, then the defined user characters, then what was ignored.
std::string DumpText(const LcdScreen& Screen);
// A frame to draw on an ANSI terminal (it starts by homing the cursor and clearing).
std::string LiveView(const LcdScreen& Screen, const std::string& Title);
