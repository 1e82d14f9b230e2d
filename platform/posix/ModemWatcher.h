// Waits in its own thread for the modem lines of a real serial device to change (TIOCMIWAIT)
// and reports each change as EV_CTS, EV_DSR, EV_RLSD and EV_RING bits: which lines moved comes
// from the driver's counters, or, where it keeps none, from the lines read before and after.
// Blocked in the kernel, it costs nothing while the lines are quiet. Pseudo-terminals have no
// modem lines and get no watcher.
#pragma once

#include <functional>

#include "platform/Win32Types.h"
#include "platform/posix/InterruptibleThread.h"

namespace platform::posix {

class ModemWatcher {
 public:
  // onChange(events) after each change; onGone(error) once if the line goes (unplugged). A
  // driver that cannot wait for its lines ends the watch with neither.
  ModemWatcher(int fd, std::function<void(DWORD)> onChange, std::function<void(DWORD)> onGone);
  // Interrupts the wait and joins the thread.
  ~ModemWatcher() = default;
  ModemWatcher(const ModemWatcher&) = delete;
  ModemWatcher& operator=(const ModemWatcher&) = delete;

  // Ends the watch without waiting for the thread: a blocked TIOCMIWAIT holds up the removal
  // of a PCI card until a signal ends it.
  void RequestStop() { thread_.RequestStop(); }

 private:
  void Run(const std::atomic<bool>& stopping);

  const int fd_;
  std::function<void(DWORD)> onChange_;
  std::function<void(DWORD)> onGone_;
  InterruptibleThread thread_;  // last: it starts running at once
};

}  // namespace platform::posix
