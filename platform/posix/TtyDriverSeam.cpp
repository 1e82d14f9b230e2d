#include "platform/posix/TtyDriverSeam.h"

#include <sys/ioctl.h>

#include <atomic>
#include <memory>
#include <mutex>

namespace platform::posix {

namespace {

// Without a hook a request costs one relaxed load on top of the system call.
std::atomic<bool> hooked{false};
std::mutex hookLock;
std::shared_ptr<const TtyIoctlHook> installed;

std::shared_ptr<const TtyIoctlHook> CurrentHook() {
  std::lock_guard lock(hookLock);
  return installed;
}

}  // namespace

int TtyIoctl(int fd, unsigned long request, void* argument) {
  if (hooked.load(std::memory_order_acquire)) {
    // A copy, so that a hook replaced meanwhile lives until this call is out of it.
    if (const auto hook = CurrentHook())
      if (const std::optional<int> answer = (*hook)(fd, request, argument)) return *answer;
  }
  return ioctl(fd, request, argument);
}

void SetTtyIoctlHook(TtyIoctlHook hook) {
  std::lock_guard lock(hookLock);
  installed = hook ? std::make_shared<const TtyIoctlHook>(std::move(hook)) : nullptr;
  hooked.store(installed != nullptr, std::memory_order_release);
}

}  // namespace platform::posix
