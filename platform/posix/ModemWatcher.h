// Waits in its own thread for the modem lines of a real serial device to change (TIOCMIWAIT)
// and reports each change as EV_CTS, EV_DSR, EV_RLSD and EV_RING bits: which lines moved comes
// from the driver's counters, or, where it keeps none, from the lines read before and after.
// A second thread waits in poll() for nothing but the line's hang-up: a wait for the lines
// blocked on a PCI card that is being removed holds up the removal until a signal ends it, and
// while the port's own threads are busy elsewhere (a batch waiting for the main thread) nobody
// else would notice. Blocked in the kernel, both cost nothing while the line is quiet.
// Pseudo-terminals have no modem lines and get no watcher.
#pragma once

#include <atomic>
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

  // Ends the watch without waiting for the threads.
  void RequestStop() {
    lines_.RequestStop();
    hangUp_.RequestStop();
  }

 private:
  void WatchLines(const std::atomic<bool>& stopping);
  void WatchForHangUp(const std::atomic<bool>& stopping);
  // onGone, once, from whichever thread finds the line gone first.
  void Gone(DWORD error);

  const int fd_;
  std::function<void(DWORD)> onChange_;
  std::function<void(DWORD)> onGone_;
  std::atomic<bool> gone_{false};
  // Last: they start running at once.
  InterruptibleThread lines_;
  InterruptibleThread hangUp_;
};

}  // namespace platform::posix
