// A pollable wake-up flag: Signal makes PollHandle readable until Clear. It lets a host's own
// event loop (poll, Qt's socket notifiers) notice work for the main thread without polling.
#pragma once

#include <cstdint>

namespace platform {

class Waker {
 public:
  Waker();
  ~Waker();
  Waker(const Waker&) = delete;
  Waker& operator=(const Waker&) = delete;

  void Signal();
  void Clear();
  // A file descriptor on Linux (readable while signalled), an event handle on Windows.
  std::intptr_t PollHandle() const { return handle_; }
  // Blocks until signalled or `milliseconds` pass (negative: no limit). On Windows, messages
  // that other threads send to the calling thread's windows are delivered meanwhile, so a
  // sender waiting on this thread cannot deadlock it; such a delivery may end the wait early.
  void WaitSignalled(int milliseconds);

 private:
  std::intptr_t handle_;
};

// Waits until a waker's PollHandle is signalled or `milliseconds` pass, as a host's loop would
// (nothing is delivered meanwhile); true when it is signalled.
bool PollHandleSignalled(std::intptr_t handle, int milliseconds);

}  // namespace platform
