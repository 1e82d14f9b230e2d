#include "platform/posix/TtyIoctls.h"

#include <asm/termbits.h>
#include <linux/serial.h>
#include <sys/ioctl.h>

#include <cerrno>

#include "platform/posix/ErrnoMapping.h"

namespace platform::posix {

DWORD ReadModemStatus(int fd, DWORD& status) {
  status = 0;
  int lines = 0;
  if (ioctl(fd, TIOCMGET, &lines) != 0) {
    if (errno == ENOTTY || errno == EINVAL) return ERROR_SUCCESS;
    return IoErrorFromErrno(errno);
  }
  if (lines & TIOCM_CTS) status |= MS_CTS_ON;
  if (lines & TIOCM_DSR) status |= MS_DSR_ON;
  if (lines & TIOCM_RNG) status |= MS_RING_ON;
  if (lines & TIOCM_CAR) status |= MS_RLSD_ON;
  return ERROR_SUCCESS;
}

bool ReadErrorCounters(int fd, ErrorCounters& counters) {
  struct serial_icounter_struct icount {};
  if (ioctl(fd, TIOCGICOUNT, &icount) != 0) return false;
  counters.frame = static_cast<unsigned>(icount.frame);
  counters.overrun = static_cast<unsigned>(icount.overrun) + static_cast<unsigned>(icount.buf_overrun);
  counters.parity = static_cast<unsigned>(icount.parity);
  counters.brk = static_cast<unsigned>(icount.brk);
  return true;
}

DWORD ErrorFlagsBetween(const ErrorCounters& before, const ErrorCounters& after) {
  DWORD flags = 0;
  if (after.frame != before.frame) flags |= CE_FRAME;
  if (after.overrun != before.overrun) flags |= CE_OVERRUN;
  if (after.parity != before.parity) flags |= CE_RXPARITY;
  if (after.brk != before.brk) flags |= CE_BREAK;
  return flags;
}

DWORD MakeRaw(int fd) {
  struct termios2 tio {};
  if (ioctl(fd, TCGETS2, &tio) != 0) return IoErrorFromErrno(errno);
  tio.c_iflag = PARMRK;
  tio.c_oflag = 0;
  tio.c_lflag = 0;
  tio.c_cflag |= CREAD | CLOCAL;
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  if (ioctl(fd, TCSETS2, &tio) != 0) return IoErrorFromErrno(errno);
  return ERROR_SUCCESS;
}

}  // namespace platform::posix
