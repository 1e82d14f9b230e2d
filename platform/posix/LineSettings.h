// A DCB's line settings applied to a tty: raw mode, any speed, framing, flow control and the
// DTR/RTS lines, read back so that a setting the device silently ignores is not reported as
// applied.
#pragma once

#include "platform/Win32Types.h"

namespace platform::posix {

// ERROR_SUCCESS, or the code to report: 87 for an impossible or refused combination, 50 for
// flow control that Linux has no form of. A pseudo-terminal has no wire, so the framing it
// forces (8 bits, no parity) and the modem lines it lacks are accepted there.
DWORD ApplyLineSettings(int fd, const DCB& dcb, bool pseudoTerminal);

// The speed the device reports for its output, in bits per second.
DWORD ReadLineSpeed(int fd);

}  // namespace platform::posix
