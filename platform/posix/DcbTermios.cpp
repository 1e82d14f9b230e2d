#include "platform/posix/DcbTermios.h"

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

}  // namespace

struct termios2 TermiosForDcb(const DCB& dcb, const struct termios2& current) {
  struct termios2 tio = current;
  // Output is never post-processed (0x0A stays 0x0A) and input keeps line errors in band
  // (PARMRK) for the reader to decode.
  tio.c_iflag = PARMRK;
  if (dcb.Flags & DCB_fParity) tio.c_iflag |= INPCK;
  if (dcb.Flags & DCB_fOutX) tio.c_iflag |= IXON;
  if (dcb.Flags & DCB_fInX) tio.c_iflag |= IXOFF;
  tio.c_oflag = 0;
  tio.c_lflag = 0;
  tio.c_cflag = CREAD | CLOCAL | HUPCL | BOTHER | SizeFlag(dcb.ByteSize) | ParityFlags(dcb.Parity);
  if (dcb.StopBits != ONESTOPBIT) tio.c_cflag |= CSTOPB;  // with 5 data bits the UART sends 1.5
  // Linux has one flag for both directions of RTS/CTS handshaking.
  if ((dcb.Flags & DCB_fOutxCtsFlow) || DcbRtsControl(dcb) == RTS_CONTROL_HANDSHAKE) tio.c_cflag |= CRTSCTS;
  tio.c_ispeed = tio.c_ospeed = dcb.BaudRate;
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  tio.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
  tio.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
  return tio;
}

}  // namespace platform::posix
