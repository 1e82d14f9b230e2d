// The tty ioctls for modem lines and line-error counters, which exist on real UARTs and USB
// adapters but not on pseudo-terminals.
#pragma once

#include "platform/Win32Types.h"

namespace platform::posix {

// The modem lines as MS_* bits. A device without modem lines reports all lines off,
// successfully. Returns ERROR_SUCCESS or the failure.
DWORD ReadModemStatus(int fd, DWORD& status);

struct ErrorCounters {
  unsigned frame = 0, overrun = 0, parity = 0, brk = 0;
};
// False when the device keeps no counters.
bool ReadErrorCounters(int fd, ErrorCounters& counters);

// The CE_* flags for what the counters show happened since `before`.
DWORD ErrorFlagsBetween(const ErrorCounters& before, const ErrorCounters& after);

// Puts a freshly opened tty into raw mode at its present speed, so that nothing it receives
// or sends is cooked before the port is configured.
DWORD MakeRaw(int fd);

}  // namespace platform::posix
