#include "platform/ThreadControl.h"

#include <string>

#include "platform/win32/WindowsHeader.h"

namespace platform {

namespace {

int PriorityOf(ThreadPriority priority) {
  switch (priority) {
    case ThreadPriority::Idle: return THREAD_PRIORITY_IDLE;
    case ThreadPriority::Lowest: return THREAD_PRIORITY_LOWEST;
    case ThreadPriority::BelowNormal: return THREAD_PRIORITY_BELOW_NORMAL;
    case ThreadPriority::AboveNormal: return THREAD_PRIORITY_ABOVE_NORMAL;
    case ThreadPriority::Highest: return THREAD_PRIORITY_HIGHEST;
    case ThreadPriority::TimeCritical: return THREAD_PRIORITY_TIME_CRITICAL;
    default: return THREAD_PRIORITY_NORMAL;
  }
}

}  // namespace

void SetCurrentThreadPriority(ThreadPriority priority) { SetThreadPriority(GetCurrentThread(), PriorityOf(priority)); }

void SetCurrentThreadName(const char* name) {
  // Windows 10 (1607) and later name threads; older ones do without.
  using SetDescription = HRESULT(WINAPI*)(HANDLE, PCWSTR);
  static const auto setDescription = reinterpret_cast<SetDescription>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetThreadDescription")));
  if (!setDescription) return;
  const std::string text(name);
  setDescription(GetCurrentThread(), std::wstring(text.begin(), text.end()).c_str());
}

}  // namespace platform
