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
  // A file descriptor on Linux.
  std::intptr_t PollHandle() const { return handle_; }
  // Blocks until signalled or `milliseconds` pass (negative: no limit).
  void WaitSignalled(int milliseconds);

 private:
  std::intptr_t handle_;
};


}  // namespace platform
