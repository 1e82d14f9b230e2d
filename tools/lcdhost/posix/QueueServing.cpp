#include "tools/lcdhost/QueueServing.h"

#include <poll.h>

#include <chrono>

bool ServeQueue(std::intptr_t wakeHandle, const std::function<void()>& runQueued, int milliseconds,
                const volatile bool* stop) {
  const int wakeFd = static_cast<int>(wakeHandle);
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    if (stop && *stop) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return true;
    pollfd pfd{wakeFd, POLLIN, 0};
    // Sleeps until work is handed over or the time is up; a signal ends the sleep early.
    if (poll(&pfd, wakeFd >= 0 ? 1 : 0, static_cast<int>(left)) > 0) runQueued();
  }
}
