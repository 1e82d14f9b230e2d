#include "platform/PortEnumeration.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <system_error>

#include "platform/posix/ErrnoMapping.h"
#include "platform/posix/PortNames.h"

namespace platform {

namespace {

namespace fs = std::filesystem;

// Legacy ttyS entries exist for every possible port; the serial core reports type 0 (no
// UART) for those that have nothing behind them.
bool UartPresent(const fs::path& entry) {
  std::ifstream type(entry / "type");
  int value = 0;
  return static_cast<bool>(type >> value) && value != 0;
}

// "com3" (any case) as "COM3"; anything else is not an alias.
bool AliasName(const std::string& file, std::string& port) {
  if (file.size() < 4 || file.size() > 7) return false;
  std::string upper;
  for (char c : file) upper.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
  if (upper.compare(0, 3, "COM") != 0) return false;
  for (std::size_t i = 3; i < upper.size(); ++i)
    if (upper[i] < '0' || upper[i] > '9') return false;
  if (std::stoi(upper.substr(3)) < 1) return false;
  port = upper;
  return true;
}

DWORD ErrorOf(const std::error_code& error) { return posix::OpenErrorFromErrno(error.value()); }

std::mutex defaultsMutex;
PortSources defaults;

}  // namespace

void SetDefaultPortSources(const PortSources& sources) {
  std::lock_guard lock(defaultsMutex);
  defaults = sources;
}

DWORD ListSerialPorts(std::vector<std::string>& names) {
  PortSources sources;
  {
    std::lock_guard lock(defaultsMutex);
    sources = defaults;
  }
  return ListSerialPorts(names, sources);
}

DWORD ListSerialPorts(std::vector<std::string>& names, const PortSources& sources) {
  const fs::path ttyClass = sources.ttyClassFolder.empty() ? fs::path("/sys/class/tty") : fs::path(sources.ttyClassFolder);
  const fs::path aliases = sources.aliasFolder.empty() ? fs::path(posix::PortAliasFolder()) : fs::path(sources.aliasFolder);

  std::error_code error;
  fs::directory_iterator entries(ttyClass, error);
  if (error) return ErrorOf(error);
  for (; entries != fs::directory_iterator(); entries.increment(error)) {
    if (error) return ErrorOf(error);
    const fs::path entry = entries->path();
    const std::string name = entry.filename().string();
    // Virtual consoles, the pty multiplexer and the like have no device behind them.
    if (!fs::exists(entry / "device", error)) continue;
    if (name.rfind("ttyS", 0) == 0 && !UartPresent(entry)) continue;
    names.push_back(name);
  }
  if (error) return ErrorOf(error);

  fs::directory_iterator links(aliases, error);
  if (error) return error == std::errc::no_such_file_or_directory ? ERROR_SUCCESS : ErrorOf(error);
  for (; links != fs::directory_iterator(); links.increment(error)) {
    if (error) return ErrorOf(error);
    std::string port;
    struct stat target {};
    if (AliasName(links->path().filename().string(), port) && stat(links->path().c_str(), &target) == 0)
      names.push_back(port);
  }
  return error ? ErrorOf(error) : ERROR_SUCCESS;
}

}  // namespace platform
