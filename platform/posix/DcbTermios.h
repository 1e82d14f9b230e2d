// How a DCB's line settings read as a tty's termios2: raw in both directions, the framing, any
// speed, and software and hardware flow control. Kept apart from the device so that every flag
// can be checked on its own. Includes the kernel's termios2, which cannot share a translation
// unit with the C library's <termios.h>.
#pragma once

#include <asm/termbits.h>

#include "platform/Win32Types.h"

namespace platform::posix {

// The termios the device gets for `dcb`; what a DCB says nothing about (the line discipline,
// the other control characters) stays as in `current`.
struct termios2 TermiosForDcb(const DCB& dcb, const struct termios2& current);

// The control flags a device must keep for the DCB's framing to be in effect.
constexpr tcflag_t FramingFlags = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;

}  // namespace platform::posix
