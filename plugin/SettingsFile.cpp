#include "plugin/SettingsFile.h"

#include "platform/Files.h"
#include "runtime/IniFile.h"

namespace {
const std::string Section = "Quorvel.dll";
constexpr std::uint8_t BaudRateCount = 16;
}  // namespace

std::string SettingsFilePath() { return platform::FileInFolder(platform::DocumentsFolder(), "Vantorix3.ini"); }

TModuleSettings ReadSettings() {
  TIniFile ini(SettingsFilePath());
  TModuleSettings settings;
  settings.Rows = static_cast<std::uint8_t>(ini.ReadInteger(Section, "Lines count", 2));
  settings.Cols = static_cast<std::uint8_t>(ini.ReadInteger(Section, "Cols count", 16));
  settings.Port = ini.ReadString(Section, "Port", "COM2");
  settings.BaudRate = static_cast<std::uint8_t>(ini.ReadInteger(Section, "Baudrate", DefaultBaudRate));
  // A rate the control and the dialog's list do not have must not index past them.
  if (settings.BaudRate >= BaudRateCount) settings.BaudRate = DefaultBaudRate;
  return settings;
}

void SaveSettings(const TModuleSettings& Settings) {
  TIniFile ini(SettingsFilePath());
  ini.WriteInteger(Section, "Lines count", Settings.Rows);
  ini.WriteInteger(Section, "Cols count", Settings.Cols);
  ini.WriteString(Section, "Port", Settings.Port);
  ini.WriteInteger(Section, "Baudrate", Settings.BaudRate);
}
