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

// Runs hand-overs until none has come for `quiet`, as a host's loop does between its commands.
inline void ServeUntilQuiet(std::chrono::milliseconds quiet = std::chrono::milliseconds(200)) {
  while (CheckSynchronize(static_cast<int>(quiet.count()))) {
  }
}
