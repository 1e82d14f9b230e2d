#include "platform/posix/ModemWatcher.h"

#include <pthread.h>
#include <signal.h>

#include <cerrno>
#include <chrono>

#include "platform/ThreadControl.h"
#include "platform/posix/ErrnoMapping.h"
#include "platform/posix/TtyIoctls.h"

namespace platform::posix {

namespace {

// The signal that interrupts a thread blocked in TIOCMIWAIT. Its handler does nothing; it is
// installed without SA_RESTART so the ioctl returns EINTR.
int WakeSignal() {
  static const int signal = [] {
    const int chosen = SIGRTMIN + 4;
    struct sigaction action {};
    action.sa_handler = [](int) {};
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(chosen, &action, nullptr);
    return chosen;
  }();
  return signal;
}

}  // namespace

ModemWatcher::ModemWatcher(int fd, std::function<void(DWORD)> onChange, std::function<void(DWORD)> onGone)
    : fd_(fd), onChange_(std::move(onChange)), onGone_(std::move(onGone)) {
  WakeSignal();
  thread_ = std::thread(&ModemWatcher::Run, this);
}

ModemWatcher::~ModemWatcher() {
  stopping_ = true;
  // The signal may arrive just before the thread enters the ioctl; it is sent again until the
  // thread has gone, which only happens while a port closes.
  std::unique_lock lock(mutex_);
  while (!done_) {
    pthread_kill(thread_.native_handle(), WakeSignal());
    exited_.wait_for(lock, std::chrono::milliseconds(10));
  }
  lock.unlock();
  thread_.join();
}

void ModemWatcher::Run() noexcept {
  SetCurrentThreadName("com-modem");
  try {
    LineCounters before;
    const bool counted = ReadLineCounters(fd_, before);
    while (!stopping_) {
      const int error = WaitForModemChange(fd_);
      if (stopping_) break;
      if (error == EINTR) continue;
      // A driver that cannot wait for its lines (a CP210x) lacks a capability; the line is fine.
      if (error == ENOTTY || error == EINVAL) break;
      if (error != 0) {
        onGone_(IoErrorFromErrno(error));
        break;
      }
      LineCounters after;
      if (counted && ReadLineCounters(fd_, after)) {
        if (const DWORD events = ModemEventsBetween(before, after)) onChange_(events);
        before = after;
      } else {
        onChange_(EV_CTS | EV_DSR | EV_RLSD);  // without counters every line is worth a look
      }
    }
  } catch (...) {
    // Nothing to report to: the port simply hears of no further line changes.
  }
  std::lock_guard lock(mutex_);
  done_ = true;
  exited_.notify_all();
}

}  // namespace platform::posix
