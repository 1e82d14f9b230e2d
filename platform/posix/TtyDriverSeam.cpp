#include "platform/posix/TtyDriverSeam.h"

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <atomic>
#include <mutex>

namespace platform::posix {

namespace {

// Without a driver installed a request costs one load on top of the system call.
std::atomic<bool> replaced{false};
std::mutex driverLock;
std::shared_ptr<TtyDriver> installed;

// A copy, so that a driver replaced meanwhile lives until the call is out of it.
std::shared_ptr<TtyDriver> Installed() {
  if (!replaced.load(std::memory_order_acquire)) return nullptr;
  std::lock_guard lock(driverLock);
  return installed;
}

}  // namespace

int TtyIoctl(int fd, unsigned long request, void* argument) {
  if (const auto driver = Installed())
    if (const std::optional<int> answer = driver->Ioctl(fd, request, argument)) return *answer;
  return ioctl(fd, request, argument);
}

bool IsPseudoTerminal(int fd) {
  if (const auto driver = Installed())
    if (const std::optional<bool> answer = driver->IsPseudoTerminal(fd)) return *answer;
  struct stat st {};
  if (fstat(fd, &st) != 0) return false;
  const unsigned major = major(st.st_rdev);
  return (major >= 136 && major <= 143) || major == 3;  // Unix98 and BSD pty slaves
}

void InstallTtyDriver(std::shared_ptr<TtyDriver> driver) {
  std::lock_guard lock(driverLock);
  installed = std::move(driver);
  replaced.store(installed != nullptr, std::memory_order_release);
}

}  // namespace platform::posix
