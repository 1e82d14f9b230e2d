// Waits in its own thread for the modem lines of a real serial device to change (TIOCMIWAIT)
// and reports each change as EV_CTS, EV_DSR, EV_RLSD and EV_RING bits. Blocked in the kernel,
// it costs nothing while the lines are quiet. Pseudo-terminals have no modem lines and get no
// watcher.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/Win32Types.h"

namespace platform::posix {

class ModemWatcher {
 public:
  // onChange(events) after each change; onGone(error) once if the line goes (unplugged). A
  // driver that cannot wait for its lines ends the watch with neither.
  ModemWatcher(int fd, std::function<void(DWORD)> onChange, std::function<void(DWORD)> onGone);
  // Interrupts the wait and joins the thread.
  ~ModemWatcher();
  ModemWatcher(const ModemWatcher&) = delete;
  ModemWatcher& operator=(const ModemWatcher&) = delete;

 private:
  void Run() noexcept;

  const int fd_;
  std::function<void(DWORD)> onChange_;
  std::function<void(DWORD)> onGone_;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::condition_variable exited_;
  bool done_ = false;
  std::thread thread_;
};

}  // namespace platform::posix
