// The Windows backend: every call of the platform interface goes to the kernel32 call of the
// same name, and the system's last error is carried into the platform's.
#pragma once

#include "platform/Api.h"

namespace platform::win32 {

class Win32Api final : public Api {
 public:
  HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                     LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                     DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) override;
  BOOL CloseHandle(HANDLE hObject) override;
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
  BOOL GetOverlappedResult(HANDLE hFile, LPOVERLAPPED lpOverlapped, LPDWORD lpNumberOfBytesTransferred,
                           BOOL bWait) override;
  HANDLE CreateEventA(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset, BOOL bInitialState,
                      LPCSTR lpName) override;
  BOOL SetEvent(HANDLE hEvent) override;
  BOOL ResetEvent(HANDLE hEvent) override;
  DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) override;
  DWORD WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll, DWORD dwMilliseconds) override;
  void Sleep(DWORD dwMilliseconds) override;
};

}  // namespace platform::win32
