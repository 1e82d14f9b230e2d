// This file talks termios2 through the kernel's own header, which cannot share a translation
// unit with the C library's <termios.h>.
#include "platform/posix/LineSettings.h"

#include <asm/termbits.h>
#include <linux/serial.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstdlib>

#include "platform/posix/ErrnoMapping.h"

namespace platform::posix {

namespace {

tcflag_t SizeFlag(BYTE byteSize) {
  switch (byteSize) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
  }
}

tcflag_t ParityFlags(BYTE parity) {
  switch (parity) {
    case ODDPARITY: return PARENB | PARODD;
    case EVENPARITY: return PARENB;
    case MARKPARITY: return PARENB | CMSPAR | PARODD;
    case SPACEPARITY: return PARENB | CMSPAR;
    default: return 0;
  }
}

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
  if (pseudoTerminal || ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line) == 0) return ERROR_SUCCESS;
  if (errno == ENOTTY || errno == EINVAL) return ERROR_SUCCESS;
  return IoErrorFromErrno(errno);
}

DWORD EnableRtsToggle(int fd, bool pseudoTerminal) {
  struct serial_rs485 rs485 {};
  rs485.flags = SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
  if (ioctl(fd, TIOCSRS485, &rs485) == 0 || pseudoTerminal) return ERROR_SUCCESS;
  return ERROR_NOT_SUPPORTED;
}

constexpr tcflag_t FramingMask = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;

// Real UARTs reach a requested rate only as closely as their clock divides; 2 % is inside
// what the far end tolerates.
bool CloseEnough(speed_t got, DWORD wanted) {
  return std::llabs(static_cast<long long>(got) - static_cast<long long>(wanted)) * 50 <= static_cast<long long>(wanted);
}

}  // namespace

DWORD ApplyLineSettings(int fd, const DCB& dcb, bool pseudoTerminal) {
  if (!IsValidFraming(dcb)) return ERROR_INVALID_PARAMETER;
  const DWORD dtr = DcbDtrControl(dcb);
  const DWORD rts = DcbRtsControl(dcb);
  const bool unsupportedFlow =
      (dcb.Flags & DCB_fOutxDsrFlow) || (dcb.Flags & DCB_fDsrSensitivity) || dtr == DTR_CONTROL_HANDSHAKE;
  if (unsupportedFlow && !pseudoTerminal) return ERROR_NOT_SUPPORTED;

  struct termios2 tio {};
  if (ioctl(fd, TCGETS2, &tio) != 0) return IoErrorFromErrno(errno);

  // Raw in both directions: output is never post-processed (0x0A stays 0x0A) and input keeps
  // line errors in band (PARMRK) for the reader to decode.
  tio.c_iflag = PARMRK;
  if (dcb.Flags & DCB_fParity) tio.c_iflag |= INPCK;
  if (dcb.Flags & DCB_fOutX) tio.c_iflag |= IXON;
  if (dcb.Flags & DCB_fInX) tio.c_iflag |= IXOFF;
  tio.c_oflag = 0;
  tio.c_lflag = 0;
  tio.c_cflag = CREAD | CLOCAL | HUPCL | BOTHER | SizeFlag(dcb.ByteSize) | ParityFlags(dcb.Parity);
  if (dcb.StopBits != ONESTOPBIT) tio.c_cflag |= CSTOPB;  // with 5 data bits the UART sends 1.5
  if ((dcb.Flags & DCB_fOutxCtsFlow) || rts == RTS_CONTROL_HANDSHAKE) tio.c_cflag |= CRTSCTS;
  tio.c_ispeed = tio.c_ospeed = dcb.BaudRate;
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  tio.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
  tio.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
  if (ioctl(fd, TCSETS2, &tio) != 0) return errno == EINVAL ? ERROR_INVALID_PARAMETER : IoErrorFromErrno(errno);

  struct termios2 taken {};
  if (ioctl(fd, TCGETS2, &taken) != 0) return IoErrorFromErrno(errno);
  const bool framingTaken = (taken.c_cflag & FramingMask) == (tio.c_cflag & FramingMask);
  if (!pseudoTerminal && (!framingTaken || !CloseEnough(taken.c_ospeed, dcb.BaudRate)))
    return ERROR_INVALID_PARAMETER;

  if (rts == RTS_CONTROL_TOGGLE) {
    if (DWORD error = EnableRtsToggle(fd, pseudoTerminal); error != ERROR_SUCCESS) return error;
  } else if (rts != RTS_CONTROL_HANDSHAKE) {
    if (DWORD error = SetModemLine(fd, TIOCM_RTS, rts == RTS_CONTROL_ENABLE, pseudoTerminal); error != ERROR_SUCCESS)
      return error;
  }
  return SetModemLine(fd, TIOCM_DTR, dtr != DTR_CONTROL_DISABLE, pseudoTerminal);
}

DWORD ReadLineSpeed(int fd) {
  struct termios2 tio {};
  if (ioctl(fd, TCGETS2, &tio) != 0) return 0;
  return tio.c_ospeed;
}

}  // namespace platform::posix
