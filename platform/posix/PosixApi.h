// The Linux backend: serial devices on ttys, everything else from the shared object layer.
#pragma once

#include <memory>

#include "platform/ObjectApi.h"
#include "platform/posix/SerialDevice.h"

namespace platform::posix {

class PosixApi final : public ObjectApi {
 public:
  HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                     LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                     DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) override;
  BOOL SetupComm(HANDLE hFile, DWORD dwInQueue, DWORD dwOutQueue) override;
  BOOL SetCommState(HANDLE hFile, const DCB* lpDCB) override;
  BOOL SetCommTimeouts(HANDLE hFile, const COMMTIMEOUTS* lpCommTimeouts) override;
  BOOL PurgeComm(HANDLE hFile, DWORD dwFlags) override;
  BOOL ClearCommError(HANDLE hFile, LPDWORD lpErrors, LPCOMSTAT lpStat) override;
  BOOL GetCommModemStatus(HANDLE hFile, LPDWORD lpModemStat) override;
  BOOL SetCommMask(HANDLE hFile, DWORD dwEvtMask) override;
  BOOL WaitCommEvent(HANDLE hFile, LPDWORD lpEvtMask, LPOVERLAPPED lpOverlapped) override;
  BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
                 LPOVERLAPPED lpOverlapped) override;

  std::shared_ptr<SerialDevice> Device(HANDLE hFile) const { return Handles().FindAs<SerialDevice>(hFile); }

 private:
  // The event of an OVERLAPPED record (none when it has none); false for a foreign handle.
  bool EventOf(const OVERLAPPED* overlapped, std::shared_ptr<Event>& event) const;
  // TRUE for ERROR_SUCCESS, otherwise FALSE with the code as the last error.
  static BOOL Result(DWORD error) { return error == ERROR_SUCCESS ? TRUE : Fail(error); }
};

}  // namespace platform::posix
