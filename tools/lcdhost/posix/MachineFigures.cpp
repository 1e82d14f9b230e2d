#include "tools/lcdhost/MachineFigures.h"

#include <fstream>

std::tm LocalTime(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  return local;
}

std::string MemoryAvailable() {
  std::ifstream meminfo("/proc/meminfo");
  std::string name;
  long kilobytes = 0;
  std::string unit;
  while (meminfo >> name >> kilobytes >> unit)
    if (name == "MemAvailable:") return std::to_string(kilobytes / 1024) + " MB";
  return "?";
}

std::string LoadAverage() {
  std::ifstream loadavg("/proc/loadavg");
  std::string last;
  return loadavg >> last ? last : "?";
}
