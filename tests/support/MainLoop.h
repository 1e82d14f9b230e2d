// Serving the main-thread queue from a test, the way a host's event loop does.
#pragma once

#include <chrono>
#include <functional>

#include "runtime/MainThread.h"

// Runs hand-overs until done() holds; false when it did not within the limit.
inline bool ServeUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    CheckSynchronize(10);
  }
  return true;
}
