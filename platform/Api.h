// The Win32-shaped platform interface. Everything above the platform layer calls these free
// functions; they forward to the installed backend (the operating system's by default, a
// recording fake in tests).
#pragma once

#include "platform/Win32Types.h"

namespace platform {

class Api {
 public:
  virtual ~Api() = default;

  virtual HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                             LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                             DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) = 0;
  virtual BOOL CloseHandle(HANDLE hObject) = 0;

  virtual BOOL SetupComm(HANDLE hFile, DWORD dwInQueue, DWORD dwOutQueue) = 0;
  virtual BOOL SetCommState(HANDLE hFile, const DCB* lpDCB) = 0;
  virtual BOOL SetCommTimeouts(HANDLE hFile, const COMMTIMEOUTS* lpCommTimeouts) = 0;
  virtual BOOL PurgeComm(HANDLE hFile, DWORD dwFlags) = 0;
  virtual BOOL ClearCommError(HANDLE hFile, LPDWORD lpErrors, LPCOMSTAT lpStat) = 0;
  virtual BOOL GetCommModemStatus(HANDLE hFile, LPDWORD lpModemStat) = 0;
  virtual BOOL SetCommMask(HANDLE hFile, DWORD dwEvtMask) = 0;
  virtual BOOL WaitCommEvent(HANDLE hFile, LPDWORD lpEvtMask, LPOVERLAPPED lpOverlapped) = 0;

  virtual BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                         LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) = 0;
  virtual BOOL GetOverlappedResult(HANDLE hFile, LPOVERLAPPED lpOverlapped,
                                   LPDWORD lpNumberOfBytesTransferred, BOOL bWait) = 0;

  virtual HANDLE CreateEventA(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset,
                              BOOL bInitialState, LPCSTR lpName) = 0;
  virtual BOOL SetEvent(HANDLE hEvent) = 0;
  virtual BOOL ResetEvent(HANDLE hEvent) = 0;
  virtual DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) = 0;
  virtual DWORD WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll,
                                       DWORD dwMilliseconds) = 0;
  virtual void Sleep(DWORD dwMilliseconds) = 0;
};

// The backend in use. Install(nullptr) restores the operating system's; Install returns the
// backend it replaces. Meant to be switched only while no port is open.
Api& Current();
Api* Install(Api* backend);
// The operating system's backend (defined by the backend folder the build selects).
Api& SystemBackend();

// The calling thread's last error, as Windows keeps it.
DWORD GetLastError();
void SetLastError(DWORD dwErrCode);

inline HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                          DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) {
  return Current().CreateFileA(lpFileName, dwDesiredAccess, dwShareMode, lpSecurityAttributes,
                               dwCreationDisposition, dwFlagsAndAttributes, hTemplateFile);
}
inline BOOL CloseHandle(HANDLE hObject) { return Current().CloseHandle(hObject); }
inline BOOL SetupComm(HANDLE hFile, DWORD dwInQueue, DWORD dwOutQueue) {
  return Current().SetupComm(hFile, dwInQueue, dwOutQueue);
}
inline BOOL SetCommState(HANDLE hFile, const DCB* lpDCB) { return Current().SetCommState(hFile, lpDCB); }
inline BOOL SetCommTimeouts(HANDLE hFile, const COMMTIMEOUTS* lpCommTimeouts) {
  return Current().SetCommTimeouts(hFile, lpCommTimeouts);
}
inline BOOL PurgeComm(HANDLE hFile, DWORD dwFlags) { return Current().PurgeComm(hFile, dwFlags); }
inline BOOL ClearCommError(HANDLE hFile, LPDWORD lpErrors, LPCOMSTAT lpStat) {
  return Current().ClearCommError(hFile, lpErrors, lpStat);
}
inline BOOL GetCommModemStatus(HANDLE hFile, LPDWORD lpModemStat) {
  return Current().GetCommModemStatus(hFile, lpModemStat);
}
inline BOOL SetCommMask(HANDLE hFile, DWORD dwEvtMask) { return Current().SetCommMask(hFile, dwEvtMask); }
inline BOOL WaitCommEvent(HANDLE hFile, LPDWORD lpEvtMask, LPOVERLAPPED lpOverlapped) {
  return Current().WaitCommEvent(hFile, lpEvtMask, lpOverlapped);
}
inline BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                      LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) {
  return Current().WriteFile(hFile, lpBuffer, nNumberOfBytesToWrite, lpNumberOfBytesWritten, lpOverlapped);
}
inline BOOL GetOverlappedResult(HANDLE hFile, LPOVERLAPPED lpOverlapped, LPDWORD lpNumberOfBytesTransferred,
                                BOOL bWait) {
  return Current().GetOverlappedResult(hFile, lpOverlapped, lpNumberOfBytesTransferred, bWait);
}
inline HANDLE CreateEventA(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset, BOOL bInitialState,
                           LPCSTR lpName) {
  return Current().CreateEventA(lpEventAttributes, bManualReset, bInitialState, lpName);
}
inline BOOL SetEvent(HANDLE hEvent) { return Current().SetEvent(hEvent); }
inline BOOL ResetEvent(HANDLE hEvent) { return Current().ResetEvent(hEvent); }
inline DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  return Current().WaitForSingleObject(hHandle, dwMilliseconds);
}
inline DWORD WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll, DWORD dwMilliseconds) {
  return Current().WaitForMultipleObjects(nCount, lpHandles, bWaitAll, dwMilliseconds);
}
inline void Sleep(DWORD dwMilliseconds) { Current().Sleep(dwMilliseconds); }

}  // namespace platform
