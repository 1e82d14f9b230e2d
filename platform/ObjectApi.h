// The part of a backend that is the same everywhere: handles, events, waits, Sleep and the
// overlapped results. A backend derives from it and adds the device calls.
#pragma once

#include <memory>

#include "platform/Api.h"
#include "platform/Event.h"
#include "platform/KernelObjects.h"

namespace platform {

class ObjectApi : public Api {
 public:
  BOOL CloseHandle(HANDLE hObject) override;
  HANDLE CreateEventA(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset, BOOL bInitialState,
                      LPCSTR lpName) override;
  BOOL SetEvent(HANDLE hEvent) override;
  BOOL ResetEvent(HANDLE hEvent) override;
  DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) override;
  DWORD WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll,
                               DWORD dwMilliseconds) override;
  BOOL GetOverlappedResult(HANDLE hFile, LPOVERLAPPED lpOverlapped, LPDWORD lpNumberOfBytesTransferred,
                           BOOL bWait) override;
  void Sleep(DWORD dwMilliseconds) override;

  HandleTable& Handles() { return handles_; }
  const HandleTable& Handles() const { return handles_; }

 protected:
  // Sets the last error and returns FALSE, the usual way out of a failing call.
  static BOOL Fail(DWORD error);

 private:
  DWORD WaitForEvents(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll, DWORD dwMilliseconds);

  HandleTable handles_;
};

}  // namespace platform
