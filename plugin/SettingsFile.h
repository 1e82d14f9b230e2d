// The module's four settings and the INI file in the user's documents folder that keeps them.
#pragma once

#include <cstdint>
#include <string>

struct TModuleSettings {
  std::uint8_t Rows = 0;
  std::uint8_t Cols = 0;
  std::string Port;
  std::uint8_t BaudRate = 0;  // a TBaudRate ordinal
};

// <documents>/Vantorix3.ini, looked up afresh on every call.
std::string SettingsFilePath();
// The settings as stored; whatever is missing or unreadable reads as its default (2 rows,
// 16 columns, "COM2", baud rate 5). Integers keep their low eight bits; a baud rate outside
// the sixteen rates reads as 5.
TModuleSettings ReadSettings();
// Writes the four keys, leaving the rest of the file as it was. Raises EIniFileException when
// the file cannot be written; the old file then stays as it was.
void SaveSettings(const TModuleSettings& Settings);

constexpr std::uint8_t DefaultBaudRate = 5;
