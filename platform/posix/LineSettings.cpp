// This file talks termios2 through the kernel's own header, which cannot share a translation
// unit with the C library's <termios.h>.
#include "platform/posix/LineSettings.h"

#include <asm/termbits.h>
#include <linux/serial.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstdlib>

#include "platform/posix/DcbTermios.h"
#include "platform/posix/ErrnoMapping.h"
#include "platform/posix/TtyDriverSeam.h"

namespace platform::posix {

namespace {

// Windows refuses the same combinations: 1.5 stop bits need 5 data bits, 2 need more.
bool IsValidFraming(const DCB& dcb) {
  if (dcb.BaudRate == 0 || dcb.ByteSize < 5 || dcb.ByteSize > 8) return false;
  if (dcb.Parity > SPACEPARITY || dcb.StopBits > TWOSTOPBITS) return false;
  if (dcb.StopBits == ONE5STOPBITS && dcb.ByteSize != 5) return false;
  if (dcb.StopBits == TWOSTOPBITS && dcb.ByteSize == 5) return false;
  return true;
}

DWORD SetModemLine(int fd, int line, bool on, bool pseudoTerminal) {
  // A device without modem lines (a pseudo-terminal has none) has nothing to set.
  if (pseudoTerminal || TtyIoctl(fd, on ? TIOCMBIS : TIOCMBIC, &line) == 0) return ERROR_SUCCESS;
  if (errno == ENOTTY || errno == EINVAL) return ERROR_SUCCESS;
  return IoErrorFromErrno(errno);
}

// RTS_CONTROL_TOGGLE is the driver's RS-485 mode: RTS raised while sending. The mode the device
// had before is kept, to be given back.
DWORD EnableRtsToggle(int fd, bool pseudoTerminal, LineState& state) {
  if (pseudoTerminal) return ERROR_SUCCESS;
  if (!state.rs485Before) {
    struct serial_rs485 before {};
    if (TtyIoctl(fd, TIOCGRS485, &before) != 0) before = {};
    state.rs485Before = LineState::Rs485{before.flags, before.delay_rts_before_send, before.delay_rts_after_send};
  }
  struct serial_rs485 rs485 {};
  rs485.flags = SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
  if (TtyIoctl(fd, TIOCSRS485, &rs485) == 0) return ERROR_SUCCESS;
  state.rs485Before.reset();
  return ERROR_NOT_SUPPORTED;
}

// Real UARTs reach a requested rate only as closely as their clock divides; 2 % is inside
// what the far end tolerates.
bool CloseEnough(speed_t got, DWORD wanted) {
  return std::llabs(static_cast<long long>(got) - static_cast<long long>(wanted)) * 50 <= static_cast<long long>(wanted);
}

}  // namespace

DWORD ApplyLineSettings(int fd, const DCB& dcb, bool pseudoTerminal, LineState& state) {
  if (!IsValidFraming(dcb)) return ERROR_INVALID_PARAMETER;
  const DWORD dtr = DcbDtrControl(dcb);
  const DWORD rts = DcbRtsControl(dcb);
  const bool unsupportedFlow =
      (dcb.Flags & DCB_fOutxDsrFlow) || (dcb.Flags & DCB_fDsrSensitivity) || dtr == DTR_CONTROL_HANDSHAKE;
  if (unsupportedFlow && !pseudoTerminal) return ERROR_NOT_SUPPORTED;

  struct termios2 before {};
  if (TtyIoctl(fd, TCGETS2, &before) != 0) return IoErrorFromErrno(errno);
  struct termios2 tio = TermiosForDcb(dcb, before);
  if (TtyIoctl(fd, TCSETS2, &tio) != 0) return errno == EINVAL ? ERROR_INVALID_PARAMETER : IoErrorFromErrno(errno);
  // What the device refuses leaves it as it was, whatever part of the request it did take.
  auto refuse = [&](DWORD error) {
    TtyIoctl(fd, TCSETS2, &before);
    return error;
  };

  struct termios2 taken {};
  if (TtyIoctl(fd, TCGETS2, &taken) != 0) return IoErrorFromErrno(errno);
  const bool framingTaken = (taken.c_cflag & FramingFlags) == (tio.c_cflag & FramingFlags);
  if (!pseudoTerminal && (!framingTaken || !CloseEnough(taken.c_ospeed, dcb.BaudRate)))
    return refuse(ERROR_INVALID_PARAMETER);

  if (rts == RTS_CONTROL_TOGGLE) {
    if (DWORD error = EnableRtsToggle(fd, pseudoTerminal, state); error != ERROR_SUCCESS) return refuse(error);
  } else {
    ReleaseLineSettings(fd, state);  // RTS is the port's own line again
    if (rts != RTS_CONTROL_HANDSHAKE)
      if (DWORD error = SetModemLine(fd, TIOCM_RTS, rts == RTS_CONTROL_ENABLE, pseudoTerminal); error != ERROR_SUCCESS)
        return error;
  }
  return SetModemLine(fd, TIOCM_DTR, dtr != DTR_CONTROL_DISABLE, pseudoTerminal);
}

void ReleaseLineSettings(int fd, LineState& state) {
  if (!state.rs485Before) return;
  struct serial_rs485 before {};
  before.flags = state.rs485Before->flags;
  before.delay_rts_before_send = state.rs485Before->delayBeforeSend;
  before.delay_rts_after_send = state.rs485Before->delayAfterSend;
  TtyIoctl(fd, TIOCSRS485, &before);
  state.rs485Before.reset();
}

DWORD ReadLineSpeed(int fd) {
  struct termios2 tio {};
  if (TtyIoctl(fd, TCGETS2, &tio) != 0) return 0;
  return tio.c_ospeed;
}

}  // namespace platform::posix
