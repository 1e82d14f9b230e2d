// The first line a shell command writes, for a placeholder of lcdhost's display.
#pragma once

#include <optional>
#include <string>

// Runs `command` with the system's shell (/bin/sh; Windows: cmd.exe) and returns the first line it writes to standard output; nullopt
// when it cannot run or has not written a line within two seconds (then it is killed, so a
// hanging command never stops the display).
std::optional<std::string> FirstLineOfCommand(const std::string& command);
