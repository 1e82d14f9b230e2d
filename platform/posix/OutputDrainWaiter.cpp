#include "platform/posix/OutputDrainWaiter.h"

#include <sys/ioctl.h>

#include <cerrno>

#include "platform/posix/TtyDriverSeam.h"

namespace platform::posix {

OutputDrainWaiter::OutputDrainWaiter(int fd, std::function<void()> onDrained)
    : fd_(fd),
      onDrained_(std::move(onDrained)),
      thread_("com-drain", [this](const std::atomic<bool>& stopping) { Run(stopping); }) {}

OutputDrainWaiter::~OutputDrainWaiter() { RequestStop(); }

void OutputDrainWaiter::Request() {
  std::lock_guard lock(mutex_);
  wanted_ = true;
  changed_.notify_one();
}

void OutputDrainWaiter::RequestStop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    changed_.notify_one();
  }
  thread_.RequestStop();
}

void OutputDrainWaiter::Run(const std::atomic<bool>& stopping) {
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return wanted_ || stopping_; });
      if (stopping_) return;
      wanted_ = false;
    }
    // tcdrain: TCSBRK with a non-zero argument waits for the output and sends no break.
    if (TtyIoctl(fd_, TCSBRK, reinterpret_cast<void*>(1ul)) == 0) {
      onDrained_();
    } else if (errno == EINTR) {
      if (stopping) return;
      Request();  // another signal of the host's: the output is still to be waited for
    } else {
      return;  // the line has gone; the device hears of that from its own reads and writes
    }
  }
}

}  // namespace platform::posix
