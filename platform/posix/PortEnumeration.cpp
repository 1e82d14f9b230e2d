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
    // An alias "com3" (any case) is the port "COM3", when its device is there.
    const std::string file = links->path().filename().string();
    struct stat target {};
    if (posix::ComPortNumber(file) >= 1 && stat(links->path().c_str(), &target) == 0) names.push_back("COM" + file.substr(3));
  }
  return error ? ErrorOf(error) : ERROR_SUCCESS;
}

}  // namespace platform
