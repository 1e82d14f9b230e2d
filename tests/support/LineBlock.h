// A device-control block for tests that set a line through the Win32 calls: rate, framing and
// the control of DTR and RTS; everything else off.
#pragma once

#include "platform/Win32Types.h"

inline platform::DCB LineOf(platform::DWORD baud, platform::BYTE size = 8, platform::BYTE parity = platform::NOPARITY,
                            platform::BYTE stop = platform::ONESTOPBIT,
                            platform::DWORD dtr = platform::DTR_CONTROL_DISABLE,
                            platform::DWORD rts = platform::RTS_CONTROL_DISABLE) {
  platform::DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  dcb.BaudRate = baud;
  dcb.Flags = platform::DCB_fBinary | (dtr << platform::DCB_fDtrControlShift) | (rts << platform::DCB_fRtsControlShift);
  dcb.ByteSize = size;
  dcb.Parity = parity;
  dcb.StopBits = stop;
  dcb.XonChar = 0x11;
  dcb.XoffChar = 0x13;
  return dcb;
}
