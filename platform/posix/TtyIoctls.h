// The tty ioctls for modem lines and line-error counters, which exist on real UARTs and USB
// adapters but not on pseudo-terminals.
#pragma once

#include "platform/Win32Types.h"

namespace platform::posix {

// The modem lines as MS_* bits. A device without modem lines reports all lines off,
// successfully. Returns ERROR_SUCCESS or the failure.
DWORD ReadModemStatus(int fd, DWORD& status);
// The MS_* bits of the kernel's TIOCM_* lines.
DWORD ModemStatusFromLines(int lines);
// The kernel's TIOCM_* lines; false when the device has none or has gone.
bool ReadModemLines(int fd, int& lines);

// What the driver counts on a real line: modem-line changes and line errors.
struct LineCounters {
  unsigned cts = 0, dsr = 0, rng = 0, dcd = 0;
  unsigned frame = 0, overrun = 0, parity = 0, brk = 0;
};
// False when the device keeps no counters.
bool ReadLineCounters(int fd, LineCounters& counters);

// The CE_* flags for the errors the counters show since `before`.
DWORD ErrorFlagsBetween(const LineCounters& before, const LineCounters& after);
// The EV_CTS, EV_DSR, EV_RLSD and EV_RING bits for the line changes since `before`.
DWORD ModemEventsBetween(const LineCounters& before, const LineCounters& after);
// The same for two readings of the TIOCM_* lines, for drivers that keep no counters.
DWORD ModemEventsBetweenLines(int before, int after);

// True when the device has modem lines whose changes can be waited for.
bool HasModemLines(int fd);
// Blocks until a modem line changes: 0, or the errno (EINTR when a signal interrupted it).
int WaitForModemChange(int fd);

// Puts a freshly opened tty into raw mode at its present speed, so that nothing it receives
// or sends is cooked before the port is configured.
DWORD MakeRaw(int fd);

}  // namespace platform::posix
