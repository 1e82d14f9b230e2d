#include "platform/Event.h"
#include "platform/Waker.h"

#include <system_error>

#include "platform/win32/WindowsHeader.h"

namespace platform {

namespace {
HANDLE Native(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
}  // namespace

Waker::Waker() : handle_(reinterpret_cast<std::intptr_t>(::CreateEventA(nullptr, TRUE, FALSE, nullptr))) {
  if (!handle_) throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(), "CreateEvent");
}

Waker::~Waker() { ::CloseHandle(Native(handle_)); }

void Waker::Signal() { ::SetEvent(Native(handle_)); }

void Waker::Clear() { ::ResetEvent(Native(handle_)); }

void Waker::WaitSignalled(int milliseconds) {
  HANDLE handle = Native(handle_);
  const ::DWORD woken = MsgWaitForMultipleObjects(1, &handle, FALSE, milliseconds < 0 ? INFINITE : static_cast<::DWORD>(milliseconds),
                                                  QS_SENDMESSAGE);
  if (woken == WAIT_OBJECT_0 + 1) {
    // Delivers the messages other threads sent to this thread's windows, and no posted one.
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

bool PollHandleSignalled(std::intptr_t handle, int milliseconds) {
  return ::WaitForSingleObject(Native(handle), milliseconds < 0 ? INFINITE : static_cast<::DWORD>(milliseconds)) ==
         WAIT_OBJECT_0;
}

// The in-process events serve no device on Windows (the system's own serial driver does that),
// so a waiter never needs a wake-up of its own: it sleeps on its condition variable.
int ThreadWakeFd() { return -1; }
void SignalWakeFd(int) {}
void DrainWakeFd(int) {}

}  // namespace platform
