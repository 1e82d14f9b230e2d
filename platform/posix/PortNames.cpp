#include "platform/posix/PortNames.h"

#include <sys/stat.h>

#include <cstdlib>

namespace platform::posix {

namespace {

const std::string DevicePrefix = "\\\\.\\";

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

int ComPortNumber(const std::string& name) {
  if (name.size() < 4 || name.size() > 7) return 0;
  if (AsciiLower(name[0]) != 'c' || AsciiLower(name[1]) != 'o' || AsciiLower(name[2]) != 'm') return 0;
  int n = 0;
  for (std::size_t i = 3; i < name.size(); ++i) {
    if (!IsAsciiDigit(name[i])) return 0;
    n = n * 10 + (name[i] - '0');
  }
  return n;
}

std::string PortAliasFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string base;
  if (config && *config == '/') {
    base = config;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home ? home : "") + "/.config";
  }
  return base + "/quorvel/ports";
}

std::string DevicePathForPort(const std::string& name, const std::string& aliasFolder) {
  std::string plain = name.rfind(DevicePrefix, 0) == 0 ? name.substr(DevicePrefix.size()) : name;
  if (plain.find('/') != std::string::npos) return plain;
  if (const int n = ComPortNumber(plain); n >= 1) {
    std::string alias = aliasFolder + "/com" + plain.substr(3);
    struct stat st {};
    if (lstat(alias.c_str(), &st) == 0) return alias;
    return "/dev/ttyS" + std::to_string(n - 1);
  }
  return "/dev/" + plain;
}

}  // namespace platform::posix
