#include "platform/SystemThread.h"

#include <process.h>

#include <memory>
#include <cerrno>
#include <system_error>

#include "platform/win32/WindowsHeader.h"

namespace platform {

namespace {
unsigned __stdcall RunBody(void* argument) {
  std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(argument));
  (*body)();
  return 0;
}
}  // namespace

SystemThread::SystemThread(std::function<void()> body) {
  auto owned = std::make_unique<std::function<void()>>(std::move(body));
  // Through the C runtime, which then sets up its own state for the thread.
  const std::uintptr_t thread = _beginthreadex(nullptr, 0, &RunBody, owned.get(), 0, nullptr);
  if (thread == 0) throw std::system_error(errno, std::generic_category(), "cannot start a thread");
  owned.release();  // the thread frees it
  handle_ = thread;
  joinable_ = true;
}

SystemThread::~SystemThread() { Join(); }

void SystemThread::Join() {
  if (!joinable_) return;
  joinable_ = false;
  ::WaitForSingleObject(reinterpret_cast<HANDLE>(handle_), INFINITE);
  ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

}  // namespace platform
