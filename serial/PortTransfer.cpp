// Overlapped writes and the device queries.
#include <cstring>

#include "platform/Api.h"
#include "serial/ComPort.h"

using namespace platform;

namespace {
std::int32_t LastErrorCode() { return static_cast<std::int32_t>(GetLastError()); }
}  // namespace

void TCustomComPort::NewPortTransfer(PPortTransfer& Transfer) {
  Transfer = new TPortTransfer;
  std::memset(&Transfer->Overlapped, 0, sizeof(Transfer->Overlapped));
  Transfer->Overlapped.hEvent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
}

void TCustomComPort::DisposePortTransfer(PPortTransfer& Transfer) {
  if (!Transfer) return;
  if (Transfer->Overlapped.hEvent) CloseHandle(Transfer->Overlapped.hEvent);
  delete Transfer;
  Transfer = nullptr;
}

std::int32_t TCustomComPort::StartWrite(const void* Buffer, std::int32_t Count, PPortTransfer& Transfer) {
  // A record without its event could never be waited for, so no write starts on it.
  if (!Transfer || !Transfer->Overlapped.hEvent) throw EComPort(CError_InvalidAsync);
  // A negative count would reach the platform as a huge length and read past the buffer.
  if (Count < 0) throw EComPort(CError_WriteFailed, static_cast<std::int32_t>(ERROR_INVALID_PARAMETER));
  DWORD written = 0;
  if (!WriteFile(FDeviceHandle, Buffer, static_cast<DWORD>(Count), &written, &Transfer->Overlapped)) {
    const std::int32_t error = LastErrorCode();
    if (error != static_cast<std::int32_t>(ERROR_IO_PENDING)) throw EComPort(CError_WriteFailed, error);
  }
  return static_cast<std::int32_t>(written);
}

std::int32_t TCustomComPort::StartWriteText(const std::string& Str, PPortTransfer& Transfer) {
  if (Str.empty()) return 0;
  return StartWrite(Str.data(), static_cast<std::int32_t>(Str.size()), Transfer);
}

std::int32_t TCustomComPort::WaitForTransfer(PPortTransfer& Transfer) {
  if (!Transfer) throw EComPort(CError_InvalidAsync);
  // A record whose event could not be made never carried a transfer (StartWrite refuses it),
  // so it reads as finished with nothing moved, like any untouched record.
  if (!Transfer->Overlapped.hEvent) return 0;
  DWORD transferred = 0;
  if (WaitForSingleObject(Transfer->Overlapped.hEvent, INFINITE) != WAIT_OBJECT_0 ||
      !GetOverlappedResult(FDeviceHandle, &Transfer->Overlapped, &transferred, FALSE))
    throw EComPort(CError_WriteFailed, LastErrorCode());
  return static_cast<std::int32_t>(transferred);
}

std::int32_t TCustomComPort::WriteText(const std::string& Str) {
  PPortTransfer transfer = nullptr;
  NewPortTransfer(transfer);
  try {
    StartWriteText(Str, transfer);
  } catch (...) {
    DisposePortTransfer(transfer);  // a failed start leaves nothing running
    throw;
  }
  std::int32_t written = 0;
  try {
    written = WaitForTransfer(transfer);
  } catch (...) {
    DisposeAfterFailedWait(transfer);
    throw;
  }
  DisposePortTransfer(transfer);
  return written;
}

void TCustomComPort::DisposeAfterFailedWait(PPortTransfer& Transfer) noexcept {
  DWORD transferred = 0;
  auto stillRunning = [&](BOOL wait) {
    return !GetOverlappedResult(FDeviceHandle, &Transfer->Overlapped, &transferred, wait) &&
           GetLastError() == ERROR_IO_INCOMPLETE;
  };
  if (stillRunning(FALSE)) {
    PurgeComm(FDeviceHandle, PURGE_TXABORT);
    if (stillRunning(TRUE)) {
      // The platform still owns the record: leaving it allocated is the lesser harm than
      // freeing memory a running write will complete into.
      Transfer = nullptr;
      return;
    }
  }
  DisposePortTransfer(Transfer);
}

void TCustomComPort::AbortTransfers() {
  if (!PurgeComm(FDeviceHandle, PURGE_TXABORT | PURGE_RXABORT)) throw EComPort(CError_PurgeFailed, LastErrorCode());
}

std::int32_t TCustomComPort::InQueueCount() {
  DWORD errors = 0;
  COMSTAT stat{};
  if (!ClearCommError(FDeviceHandle, &errors, &stat)) throw EComPort(CError_ClearComFailed, LastErrorCode());
  return static_cast<std::int32_t>(stat.cbInQue);
}

TModemSignals TCustomComPort::ModemSignals() {
  DWORD status = 0;
  if (!GetCommModemStatus(FDeviceHandle, &status)) throw EComPort(CError_ModemStatFailed, LastErrorCode());
  TModemSignals signals;
  if (status & MS_CTS_ON) signals.Include(msCTS);
  if (status & MS_DSR_ON) signals.Include(msDSR);
  if (status & MS_RING_ON) signals.Include(msRing);
  if (status & MS_RLSD_ON) signals.Include(msRLSD);
  return signals;
}

TComErrors TCustomComPort::LineErrors() {
  DWORD errors = 0;
  COMSTAT stat{};
  if (!ClearCommError(FDeviceHandle, &errors, &stat)) throw EComPort(CError_ClearComFailed, LastErrorCode());
  TComErrors result;
  if (errors & CE_FRAME) result.Include(ceFrame);
  if ((errors & CE_RXPARITY) && FParity->Check()) result.Include(ceRxParity);
  if (errors & CE_OVERRUN) result.Include(ceOverrun);
  if (errors & CE_BREAK) result.Include(ceBreak);
  if (errors & CE_IOE) result.Include(ceIO);
  if (errors & CE_MODE) result.Include(ceMode);
  if (errors & CE_RXOVER) result.Include(ceRxOver);
  if (errors & CE_TXFULL) result.Include(ceTxFull);
  return result;
}
