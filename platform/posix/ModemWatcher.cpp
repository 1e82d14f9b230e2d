#include "platform/posix/ModemWatcher.h"

#include <poll.h>

#include <cerrno>

#include "platform/posix/ErrnoMapping.h"
#include "platform/posix/TtyIoctls.h"

namespace platform::posix {

ModemWatcher::ModemWatcher(int fd, std::function<void(DWORD)> onChange, std::function<void(DWORD)> onGone)
    : fd_(fd),
      onChange_(std::move(onChange)),
      onGone_(std::move(onGone)),
      lines_("com-modem", [this](const std::atomic<bool>& stopping) { WatchLines(stopping); }),
      hangUp_("com-hangup", [this](const std::atomic<bool>& stopping) { WatchForHangUp(stopping); }) {}

void ModemWatcher::Gone(DWORD error) {
  if (!gone_.exchange(true)) onGone_(error);
}

void ModemWatcher::WatchForHangUp(const std::atomic<bool>& stopping) {
  while (!stopping) {
    pollfd line{fd_, 0, 0};  // no events asked for: only a hang-up or an error ends the wait
    const int n = poll(&line, 1, -1);
    if (stopping) return;
    if (n < 0 && errno != EINTR) return;
    if (n > 0 && (line.revents & (POLLHUP | POLLERR | POLLNVAL))) {
      Gone(ERROR_GEN_FAILURE);
      return;
    }
  }
}

void ModemWatcher::WatchLines(const std::atomic<bool>& stopping) {
  LineCounters countsBefore;
  const bool counted = ReadLineCounters(fd_, countsBefore);
  int linesBefore = 0;
  ReadModemLines(fd_, linesBefore);
  while (!stopping) {
    const int error = WaitForModemChange(fd_);
    if (stopping) break;
    if (error == EINTR) continue;
    // A driver that cannot wait for its lines (a CP210x) lacks a capability; the line is fine.
    if (error == ENOTTY || error == EINVAL) break;
    if (error != 0) {
      Gone(IoErrorFromErrno(error));
      break;
    }
    DWORD events = 0;
    if (LineCounters countsAfter; counted && ReadLineCounters(fd_, countsAfter)) {
      events = ModemEventsBetween(countsBefore, countsAfter);
      countsBefore = countsAfter;
    } else if (int linesAfter = 0; ReadModemLines(fd_, linesAfter)) {
      // A line that moved and came back before it was read still woke the wait.
      events = ModemEventsBetweenLines(linesBefore, linesAfter);
      if (events == 0) events = EV_CTS | EV_DSR | EV_RLSD | EV_RING;
      linesBefore = linesAfter;
    }
    if (events) onChange_(events);
  }
}

}  // namespace platform::posix
