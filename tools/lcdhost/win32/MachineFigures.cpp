#include "tools/lcdhost/MachineFigures.h"

#include "platform/win32/WindowsHeader.h"

std::tm LocalTime(std::time_t when) {
  std::tm local{};
  localtime_s(&local, &when);
  return local;
}

std::string MemoryAvailable() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return "?";
  return std::to_string(status.ullAvailPhys / (1024 * 1024)) + " MB";
}

std::string LoadAverage() { return "?"; }
