// A DCB's line settings applied to a tty: raw mode, any speed, framing, flow control and the
// DTR/RTS lines, read back so that a setting the device silently ignores is not reported as
// applied, and undone when the device refuses them.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/Win32Types.h"

namespace platform::posix {

// What applied settings left in a device beyond its termios, to be undone when the RTS mode
// changes again and when the port closes.
struct LineState {
  // RS-485 as it was before RTS_CONTROL_TOGGLE switched it on; empty while it is not on.
  struct Rs485 {
    std::uint32_t flags, delayBeforeSend, delayAfterSend;
  };
  std::optional<Rs485> rs485Before;
};

// ERROR_SUCCESS, or the code to report: 87 for an impossible or refused combination, 50 for
// flow control that Linux has no form of. A refused setting leaves the device as it was. A
// pseudo-terminal has no wire, so the framing it forces (8 bits, no parity) and the modem
// lines it lacks are accepted there.
DWORD ApplyLineSettings(int fd, const DCB& dcb, bool pseudoTerminal, LineState& state);

// Gives back what the settings took beyond termios (RS-485 mode), as a closing port must.
void ReleaseLineSettings(int fd, LineState& state);

// The speed the device reports for its output, in bits per second.
DWORD ReadLineSpeed(int fd);

}  // namespace platform::posix
