#include "platform/posix/TtyIoctls.h"

#include <asm/termbits.h>
#include <linux/serial.h>
#include <sys/ioctl.h>

#include <cerrno>

#include "platform/posix/ErrnoMapping.h"
#include "platform/posix/TtyDriverSeam.h"

namespace platform::posix {

bool ReadModemLines(int fd, int& lines) { return TtyIoctl(fd, TIOCMGET, &lines) == 0; }

DWORD ReadModemStatus(int fd, DWORD& status) {
  status = 0;
  int lines = 0;
  if (!ReadModemLines(fd, lines)) {
    if (errno == ENOTTY || errno == EINVAL) return ERROR_SUCCESS;
    return IoErrorFromErrno(errno);
  }
  status = ModemStatusFromLines(lines);
  return ERROR_SUCCESS;
}

DWORD ModemStatusFromLines(int lines) {
  DWORD status = 0;
  if (lines & TIOCM_CTS) status |= MS_CTS_ON;
  if (lines & TIOCM_DSR) status |= MS_DSR_ON;
  if (lines & TIOCM_RNG) status |= MS_RING_ON;
  if (lines & TIOCM_CAR) status |= MS_RLSD_ON;
  return status;
}

bool ReadLineCounters(int fd, LineCounters& counters) {
  struct serial_icounter_struct icount {};
  if (TtyIoctl(fd, TIOCGICOUNT, &icount) != 0) return false;
  counters.cts = static_cast<unsigned>(icount.cts);
  counters.dsr = static_cast<unsigned>(icount.dsr);
  counters.rng = static_cast<unsigned>(icount.rng);
  counters.dcd = static_cast<unsigned>(icount.dcd);
  counters.frame = static_cast<unsigned>(icount.frame);
  counters.overrun = static_cast<unsigned>(icount.overrun) + static_cast<unsigned>(icount.buf_overrun);
  counters.parity = static_cast<unsigned>(icount.parity);
  counters.brk = static_cast<unsigned>(icount.brk);
  return true;
}

DWORD ErrorFlagsBetween(const LineCounters& before, const LineCounters& after) {
  DWORD flags = 0;
  if (after.frame != before.frame) flags |= CE_FRAME;
  if (after.overrun != before.overrun) flags |= CE_OVERRUN;
  if (after.parity != before.parity) flags |= CE_RXPARITY;
  if (after.brk != before.brk) flags |= CE_BREAK;
  return flags;
}

DWORD ModemEventsBetween(const LineCounters& before, const LineCounters& after) {
  DWORD events = 0;
  if (after.cts != before.cts) events |= EV_CTS;
  if (after.dsr != before.dsr) events |= EV_DSR;
  if (after.dcd != before.dcd) events |= EV_RLSD;
  if (after.rng != before.rng) events |= EV_RING;
  return events;
}

DWORD ModemEventsBetweenLines(int before, int after) {
  const int moved = before ^ after;
  DWORD events = 0;
  if (moved & TIOCM_CTS) events |= EV_CTS;
  if (moved & TIOCM_DSR) events |= EV_DSR;
  if (moved & TIOCM_CAR) events |= EV_RLSD;
  if (moved & TIOCM_RNG) events |= EV_RING;
  return events;
}

bool HasModemLines(int fd) {
  int lines = 0;
  return ReadModemLines(fd, lines);
}

int WaitForModemChange(int fd) {
  // TIOCMIWAIT takes the lines to wait for as the argument's value, not through a pointer.
  const unsigned long lines = TIOCM_CTS | TIOCM_DSR | TIOCM_CAR | TIOCM_RNG;
  return TtyIoctl(fd, TIOCMIWAIT, reinterpret_cast<void*>(lines)) == 0 ? 0 : errno;
}

DWORD MakeRaw(int fd) {
  struct termios2 tio {};
  if (TtyIoctl(fd, TCGETS2, &tio) != 0) return IoErrorFromErrno(errno);
  tio.c_iflag = PARMRK;
  tio.c_oflag = 0;
  tio.c_lflag = 0;
  tio.c_cflag |= CREAD | CLOCAL;
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  if (TtyIoctl(fd, TCSETS2, &tio) != 0) return IoErrorFromErrno(errno);
  return ERROR_SUCCESS;
}

}  // namespace platform::posix
