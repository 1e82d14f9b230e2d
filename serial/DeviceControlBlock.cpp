// The device-control block built from a port's settings.
#include <array>

#include "serial/ComPort.h"

using namespace platform;

namespace {

constexpr std::array<DWORD, BaudRateCount> BaudRateValues = {
    0, 110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000,
};
constexpr std::array<BYTE, 4> ByteSizes = {5, 6, 7, 8};
constexpr std::array<DWORD, 3> DtrControls = {DTR_CONTROL_DISABLE, DTR_CONTROL_ENABLE, DTR_CONTROL_HANDSHAKE};
constexpr std::array<DWORD, 4> RtsControls = {RTS_CONTROL_DISABLE, RTS_CONTROL_ENABLE, RTS_CONTROL_HANDSHAKE,
                                              RTS_CONTROL_TOGGLE};

// A value outside its enumeration (from a corrupt setting) selects the table's first entry
// rather than reading past it.
template <class Table, class E>
auto Lookup(const Table& table, E value) {
  const auto index = static_cast<std::size_t>(value);
  return index < table.size() ? table[index] : table[0];
}

}  // namespace

DCB TCustomComPort::DeviceControlBlock() const {
  DCB dcb{};
  dcb.DCBlength = sizeof(DCB);
  dcb.BaudRate = FBaudRate == brCustom ? static_cast<DWORD>(FCustomBaudRate) : Lookup(BaudRateValues, FBaudRate);
  dcb.Flags = DCB_fBinary;
  if (FParity->Check()) dcb.Flags |= DCB_fParity;
  if (FFlowControl->OutCTSFlow()) dcb.Flags |= DCB_fOutxCtsFlow;
  if (FFlowControl->OutDSRFlow()) dcb.Flags |= DCB_fOutxDsrFlow;
  dcb.Flags |= Lookup(DtrControls, FFlowControl->ControlDTR()) << DCB_fDtrControlShift;
  if (FFlowControl->DSRSensitivity()) dcb.Flags |= DCB_fDsrSensitivity;
  if (FFlowControl->TxContinueOnXoff()) dcb.Flags |= DCB_fTXContinueOnXoff;
  if (FFlowControl->XonXoffOut()) dcb.Flags |= DCB_fOutX;
  if (FFlowControl->XonXoffIn()) dcb.Flags |= DCB_fInX;
  const bool replace = FParity->Check() && FParity->Replace();
  if (replace) dcb.Flags |= DCB_fErrorChar;
  if (FDiscardNull) dcb.Flags |= DCB_fNull;
  dcb.Flags |= Lookup(RtsControls, FFlowControl->ControlRTS()) << DCB_fRtsControlShift;
  const auto limit = static_cast<WORD>(FBuffer->InputSize() / 4);
  dcb.XonLim = limit;
  dcb.XoffLim = limit;
  dcb.ByteSize = Lookup(ByteSizes, FDataBits);
  dcb.Parity = static_cast<std::size_t>(FParity->Bits()) <= SPACEPARITY ? static_cast<BYTE>(FParity->Bits()) : NOPARITY;
  dcb.StopBits = static_cast<std::size_t>(FStopBits) <= TWOSTOPBITS ? static_cast<BYTE>(FStopBits) : ONESTOPBIT;
  dcb.XonChar = FFlowControl->XonChar();
  dcb.XoffChar = FFlowControl->XoffChar();
  dcb.ErrorChar = replace ? FParity->ReplaceChar() : 0;
  dcb.EvtChar = FEventChar;
  return dcb;
}
