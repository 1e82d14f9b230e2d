// Waits in its own thread, in the kernel (tcdrain), until what a real line's tty holds for the
// wire has left it, and then reports it. A line whose output is held by flow control costs
// nothing while it is held: no timer looks again. Pseudo-terminals hold nothing and get none.
//
// Fields: wanted_ and stopping_ are guarded by mutex_, taken by the device's threads (Request)
// and the waiter's own; onDrained runs on the waiter's thread without mutex_ held.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>

#include "platform/posix/InterruptibleThread.h"

namespace platform::posix {

class OutputDrainWaiter {
 public:
  OutputDrainWaiter(int fd, std::function<void()> onDrained);
  ~OutputDrainWaiter();
  OutputDrainWaiter(const OutputDrainWaiter&) = delete;
  OutputDrainWaiter& operator=(const OutputDrainWaiter&) = delete;

  // Waits (again) for the output to drain; returns at once.
  void Request();
  // Ends the waiting without waiting for the thread.
  void RequestStop();

 private:
  void Run(const std::atomic<bool>& stopping);

  const int fd_;
  std::function<void()> onDrained_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool wanted_ = false;
  bool stopping_ = false;
  InterruptibleThread thread_;  // last: it starts running at once
};

}  // namespace platform::posix
