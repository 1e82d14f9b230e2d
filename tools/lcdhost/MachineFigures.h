// The time and the machine's figures that lcdhost shows (posix/ or win32/, as the build picks).
#pragma once

#include <ctime>
#include <string>

std::tm LocalTime(std::time_t when);
// The memory available ("812 MB") and the load average of the last minute, as the display's
// placeholders show them; "?" where the system does not tell (Windows keeps no load average).
std::string MemoryAvailable();
std::string LoadAverage();
