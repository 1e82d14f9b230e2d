#include "platform/ObjectApi.h"

#include <chrono>
#include <thread>

#include "platform/Overlapped.h"

namespace platform {

BOOL ObjectApi::Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

BOOL ObjectApi::CloseHandle(HANDLE hObject) {
  auto object = handles_.Remove(hObject);
  if (!object) return Fail(ERROR_INVALID_HANDLE);
  object->Close();
  return TRUE;
}

HANDLE ObjectApi::CreateEventA(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState, LPCSTR lpName) {
  if (lpName) {  // named events are shared between processes; nothing here needs them
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  HANDLE event = handles_.Insert(std::make_shared<Event>(bManualReset != FALSE, bInitialState != FALSE));
  if (!event) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return event;
}

BOOL ObjectApi::SetEvent(HANDLE hEvent) {
  auto event = handles_.FindAs<Event>(hEvent);
  if (!event) return Fail(ERROR_INVALID_HANDLE);
  event->Set();
  return TRUE;
}

BOOL ObjectApi::ResetEvent(HANDLE hEvent) {
  auto event = handles_.FindAs<Event>(hEvent);
  if (!event) return Fail(ERROR_INVALID_HANDLE);
  event->Reset();
  return TRUE;
}

DWORD ObjectApi::WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  return WaitForEvents(1, &hHandle, FALSE, dwMilliseconds);
}

DWORD ObjectApi::WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll,
                                        DWORD dwMilliseconds) {
  return WaitForEvents(nCount, lpHandles, bWaitAll, dwMilliseconds);
}

DWORD ObjectApi::WaitForEvents(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll, DWORD dwMilliseconds) {
  if (nCount == 0 || nCount > MAXIMUM_WAIT_OBJECTS || !lpHandles) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  if (nCount == 1) {  // the common case, without a table of empty references to build and clear
    std::shared_ptr<Event> event = handles_.FindAs<Event>(*lpHandles);
    if (!event) {
      SetLastError(ERROR_INVALID_HANDLE);
      return WAIT_FAILED;
    }
    return Event::Wait(&event, 1, bWaitAll != FALSE, dwMilliseconds);
  }
  std::shared_ptr<Event> events[MAXIMUM_WAIT_OBJECTS];
  for (DWORD i = 0; i < nCount; ++i) {
    events[i] = handles_.FindAs<Event>(lpHandles[i]);
    if (!events[i]) {
      SetLastError(ERROR_INVALID_HANDLE);
      return WAIT_FAILED;
    }
  }
  return Event::Wait(events, nCount, bWaitAll != FALSE, dwMilliseconds);
}

BOOL ObjectApi::GetOverlappedResult(HANDLE hFile, LPOVERLAPPED lpOverlapped,
                                    LPDWORD lpNumberOfBytesTransferred, BOOL bWait) {
  if (!lpOverlapped || !lpNumberOfBytesTransferred) return Fail(ERROR_INVALID_PARAMETER);
  OverlappedState state = ReadOverlapped(lpOverlapped);
  // A finished record answers by itself, as on Windows; only a transfer still running needs its
  // device to be there.
  if (state.pending && !handles_.Find(hFile)) return Fail(ERROR_INVALID_HANDLE);
  if (state.pending && bWait) {
    auto event = handles_.FindAs<Event>(lpOverlapped->hEvent);
    if (!event) return Fail(ERROR_INVALID_PARAMETER);
    Event::Wait({event}, false, INFINITE);
    state = ReadOverlapped(lpOverlapped);
  }
  if (state.pending) return Fail(ERROR_IO_INCOMPLETE);
  *lpNumberOfBytesTransferred = state.bytes;
  return state.error == ERROR_SUCCESS ? TRUE : Fail(state.error);
}

void ObjectApi::Sleep(DWORD dwMilliseconds) {
  if (dwMilliseconds == 0)
    std::this_thread::yield();
  else
    std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

}  // namespace platform
