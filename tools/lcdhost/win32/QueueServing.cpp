#include "tools/lcdhost/QueueServing.h"

#include <chrono>

#include "platform/win32/WindowsHeader.h"

bool ServeQueue(std::intptr_t wakeHandle, const std::function<void()>& runQueued, int milliseconds,
                const volatile bool* stop) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
  HANDLE event = reinterpret_cast<HANDLE>(wakeHandle);
  for (;;) {
    if (stop && *stop) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return true;
    // Sleeps until work is handed over, a message arrives (the module's hidden windows get
    // theirs through this loop) or the time is up.
    const DWORD woken = MsgWaitForMultipleObjects(event ? 1 : 0, &event, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
    if (event && woken == WAIT_OBJECT_0) {
      runQueued();
    } else if (woken == WAIT_OBJECT_0 + (event ? 1 : 0)) {
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
    }
  }
}
