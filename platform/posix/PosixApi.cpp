#include "platform/posix/PosixApi.h"

#include "platform/Overlapped.h"
#include "platform/posix/PortNames.h"

namespace platform {

Api& SystemBackend() {
  // Never destroyed: a port closed from a static destructor must still find its backend.
  static auto* backend = new posix::PosixApi;
  return *backend;
}

}  // namespace platform

namespace platform::posix {

HANDLE PosixApi::CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode, LPSECURITY_ATTRIBUTES,
                             DWORD dwCreationDisposition, DWORD, HANDLE) {
  if (!lpFileName || dwCreationDisposition != OPEN_EXISTING ||
      (dwDesiredAccess & (GENERIC_READ | GENERIC_WRITE)) != (GENERIC_READ | GENERIC_WRITE)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  DWORD error = ERROR_SUCCESS;
  auto device = SerialDevice::Open(DevicePathForPort(lpFileName, PortAliasFolder()), dwShareMode == 0, error);
  if (!device) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
  }
  HANDLE handle = Handles().Insert(device);
  if (!handle) {
    device->Close();
    SetLastError(ERROR_TOO_MANY_OPEN_FILES);
    return INVALID_HANDLE_VALUE;
  }
  return handle;
}

BOOL PosixApi::SetupComm(HANDLE hFile, DWORD dwInQueue, DWORD dwOutQueue) {
  auto device = Device(hFile);
  return device ? Result(device->SetupComm(dwInQueue, dwOutQueue)) : Fail(ERROR_INVALID_HANDLE);
}

BOOL PosixApi::SetCommState(HANDLE hFile, const DCB* lpDCB) {
  auto device = Device(hFile);
  if (!device) return Fail(ERROR_INVALID_HANDLE);
  return lpDCB ? Result(device->SetCommState(*lpDCB)) : Fail(ERROR_INVALID_PARAMETER);
}

BOOL PosixApi::SetCommTimeouts(HANDLE hFile, const COMMTIMEOUTS* lpCommTimeouts) {
  auto device = Device(hFile);
  if (!device) return Fail(ERROR_INVALID_HANDLE);
  return lpCommTimeouts ? Result(device->SetCommTimeouts(*lpCommTimeouts)) : Fail(ERROR_INVALID_PARAMETER);
}

BOOL PosixApi::PurgeComm(HANDLE hFile, DWORD dwFlags) {
  auto device = Device(hFile);
  return device ? Result(device->Purge(dwFlags)) : Fail(ERROR_INVALID_HANDLE);
}

BOOL PosixApi::ClearCommError(HANDLE hFile, LPDWORD lpErrors, LPCOMSTAT lpStat) {
  auto device = Device(hFile);
  return device ? Result(device->ClearError(lpErrors, lpStat)) : Fail(ERROR_INVALID_HANDLE);
}

BOOL PosixApi::GetCommModemStatus(HANDLE hFile, LPDWORD lpModemStat) {
  auto device = Device(hFile);
  if (!device) return Fail(ERROR_INVALID_HANDLE);
  return lpModemStat ? Result(device->ModemStatus(lpModemStat)) : Fail(ERROR_INVALID_PARAMETER);
}

BOOL PosixApi::WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
                         LPOVERLAPPED lpOverlapped) {
  auto device = Device(hFile);
  if (!device) return Fail(ERROR_INVALID_HANDLE);
  if (!lpBuffer && nNumberOfBytesToWrite != 0) return Fail(ERROR_INVALID_PARAMETER);
  if (!lpOverlapped) {
    // A blocking write: the same transfer, waited for here.
    OVERLAPPED overlapped{};
    auto event = std::make_shared<Event>(true, false);
    DWORD error = device->Write(lpBuffer, nNumberOfBytesToWrite, &overlapped, event, lpNumberOfBytesWritten);
    if (error == ERROR_IO_PENDING) {
      Event::Wait({event}, false, INFINITE);
      error = ReadOverlapped(&overlapped).error;
      if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = ReadOverlapped(&overlapped).bytes;
    }
    return Result(error);
  }
  std::shared_ptr<Event> event;
  if (!EventOf(lpOverlapped, event)) return Fail(ERROR_INVALID_HANDLE);
  return Result(device->Write(lpBuffer, nNumberOfBytesToWrite, lpOverlapped, std::move(event), lpNumberOfBytesWritten));
}


bool PosixApi::EventOf(const OVERLAPPED* overlapped, std::shared_ptr<Event>& event) const {
  if (!overlapped->hEvent) return true;
  event = Handles().FindAs<Event>(overlapped->hEvent);
  return event != nullptr;
}

BOOL PosixApi::SetCommMask(HANDLE hFile, DWORD dwEvtMask) {
  auto device = Device(hFile);
  return device ? Result(device->SetCommMask(dwEvtMask)) : Fail(ERROR_INVALID_HANDLE);
}

BOOL PosixApi::WaitCommEvent(HANDLE hFile, LPDWORD lpEvtMask, LPOVERLAPPED lpOverlapped) {
  auto device = Device(hFile);
  if (!device) return Fail(ERROR_INVALID_HANDLE);
  // Every handle here is overlapped; a wait needs its record and its event.
  std::shared_ptr<Event> event;
  if (!lpEvtMask || !lpOverlapped || !lpOverlapped->hEvent) return Fail(ERROR_INVALID_PARAMETER);
  if (!EventOf(lpOverlapped, event)) return Fail(ERROR_INVALID_HANDLE);
  return Result(device->WaitCommEvent(lpEvtMask, lpOverlapped, std::move(event)));
}

}  // namespace platform::posix
