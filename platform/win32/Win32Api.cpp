#include "platform/win32/Win32Api.h"

#include <cstddef>

#include "platform/win32/WindowsHeader.h"

namespace platform {

Api& SystemBackend() {
  // Never destroyed: a port closed from a static destructor must still find its backend.
  static auto* backend = new win32::Win32Api;
  return *backend;
}

}  // namespace platform

namespace platform::win32 {

// The platform's records are the system's, field for field; only DWORD is spelt differently
// (unsigned int here, unsigned long there: the same 32 bits).
static_assert(sizeof(platform::DCB) == sizeof(::DCB));
static_assert(sizeof(platform::COMMTIMEOUTS) == sizeof(::COMMTIMEOUTS));
static_assert(sizeof(platform::COMSTAT) == sizeof(::COMSTAT));
static_assert(sizeof(platform::OVERLAPPED) == sizeof(::OVERLAPPED));
static_assert(offsetof(platform::OVERLAPPED, hEvent) == offsetof(::OVERLAPPED, hEvent));
static_assert(sizeof(platform::SECURITY_ATTRIBUTES) == sizeof(::SECURITY_ATTRIBUTES));
static_assert(sizeof(platform::DWORD) == sizeof(::DWORD));

namespace {

// The system's last error becomes the platform's, unchanged, and the call's result passes on.
template <class Result>
Result Carried(Result result) {
  platform::SetLastError(static_cast<platform::DWORD>(::GetLastError()));
  return result;
}

::DWORD* Out(platform::DWORD* value) { return reinterpret_cast<::DWORD*>(value); }
::OVERLAPPED* Native(platform::OVERLAPPED* overlapped) { return reinterpret_cast<::OVERLAPPED*>(overlapped); }
::SECURITY_ATTRIBUTES* Native(platform::SECURITY_ATTRIBUTES* attributes) {
  return reinterpret_cast<::SECURITY_ATTRIBUTES*>(attributes);
}

}  // namespace

HANDLE Win32Api::CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                             LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                             DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) {
  return Carried(::CreateFileA(lpFileName, dwDesiredAccess, dwShareMode, Native(lpSecurityAttributes),
                               dwCreationDisposition, dwFlagsAndAttributes, hTemplateFile));
}

BOOL Win32Api::CloseHandle(HANDLE hObject) { return Carried(::CloseHandle(hObject)); }

BOOL Win32Api::SetupComm(HANDLE hFile, DWORD dwInQueue, DWORD dwOutQueue) {
  return Carried(::SetupComm(hFile, dwInQueue, dwOutQueue));
}

BOOL Win32Api::SetCommState(HANDLE hFile, const DCB* lpDCB) {
  // SetCommState takes a writable record though it only reads it.
  return Carried(::SetCommState(hFile, const_cast<::DCB*>(reinterpret_cast<const ::DCB*>(lpDCB))));
}

BOOL Win32Api::SetCommTimeouts(HANDLE hFile, const COMMTIMEOUTS* lpCommTimeouts) {
  return Carried(::SetCommTimeouts(hFile, const_cast<::COMMTIMEOUTS*>(reinterpret_cast<const ::COMMTIMEOUTS*>(lpCommTimeouts))));
}

BOOL Win32Api::PurgeComm(HANDLE hFile, DWORD dwFlags) { return Carried(::PurgeComm(hFile, dwFlags)); }

BOOL Win32Api::ClearCommError(HANDLE hFile, LPDWORD lpErrors, LPCOMSTAT lpStat) {
  return Carried(::ClearCommError(hFile, Out(lpErrors), reinterpret_cast<::COMSTAT*>(lpStat)));
}

BOOL Win32Api::GetCommModemStatus(HANDLE hFile, LPDWORD lpModemStat) {
  return Carried(::GetCommModemStatus(hFile, Out(lpModemStat)));
}

BOOL Win32Api::SetCommMask(HANDLE hFile, DWORD dwEvtMask) { return Carried(::SetCommMask(hFile, dwEvtMask)); }

BOOL Win32Api::WaitCommEvent(HANDLE hFile, LPDWORD lpEvtMask, LPOVERLAPPED lpOverlapped) {
  return Carried(::WaitCommEvent(hFile, Out(lpEvtMask), Native(lpOverlapped)));
}

BOOL Win32Api::WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
                         LPOVERLAPPED lpOverlapped) {
  return Carried(::WriteFile(hFile, lpBuffer, nNumberOfBytesToWrite, Out(lpNumberOfBytesWritten), Native(lpOverlapped)));
}

BOOL Win32Api::GetOverlappedResult(HANDLE hFile, LPOVERLAPPED lpOverlapped, LPDWORD lpNumberOfBytesTransferred,
                                   BOOL bWait) {
  return Carried(::GetOverlappedResult(hFile, Native(lpOverlapped), Out(lpNumberOfBytesTransferred), bWait));
}

HANDLE Win32Api::CreateEventA(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset, BOOL bInitialState,
                              LPCSTR lpName) {
  return Carried(::CreateEventA(Native(lpEventAttributes), bManualReset, bInitialState, lpName));
}

BOOL Win32Api::SetEvent(HANDLE hEvent) { return Carried(::SetEvent(hEvent)); }
BOOL Win32Api::ResetEvent(HANDLE hEvent) { return Carried(::ResetEvent(hEvent)); }

DWORD Win32Api::WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  return Carried(static_cast<DWORD>(::WaitForSingleObject(hHandle, dwMilliseconds)));
}

DWORD Win32Api::WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll, DWORD dwMilliseconds) {
  return Carried(static_cast<DWORD>(::WaitForMultipleObjects(nCount, lpHandles, bWaitAll, dwMilliseconds)));
}

void Win32Api::Sleep(DWORD dwMilliseconds) { ::Sleep(dwMilliseconds); }

}  // namespace platform::win32
