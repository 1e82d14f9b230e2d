// The main thread's queue: other threads hand work to the main thread here (Synchronize,
// messages sent to hidden windows) and the main thread runs it in CheckSynchronize. A host's
// event loop can watch WakeHandle() instead of calling CheckSynchronize on a timer.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/Waker.h"
#include "runtime/Export.h"

class TMainThreadQueue {
 public:
  static TMainThreadQueue& Instance();

  // Queues work for the main thread. Work must not throw.
  void Post(std::function<void()> Work);
  // Runs what is queued; with a time-out (milliseconds) first waits that long for work to
  // arrive. True when something ran. Only the main thread may call it.
  bool CheckSynchronize(int Timeout = 0);
  // Serves the queue until Done() holds; Notify() makes it look at Done() again.
  void ServeUntil(const std::function<bool()>& Done);
  void Notify();
  // Readable while work is queued (a file descriptor on Linux).
  std::intptr_t WakeHandle() const { return waker_.PollHandle(); }

 private:
  bool RunQueued();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::function<void()>> work_;
  platform::Waker waker_;
};

// The thread that runs the component runtime's main loop: the one that loaded it, unless a
// host names another.
std::thread::id MainThreadID();
void SetMainThreadID(std::thread::id Id);
bool IsMainThread();

// Runs the queued hand-overs; exported for the host that serves the module's queue.
QUORVEL_API bool CheckSynchronize(int Timeout = 0);
// TMainThreadQueue::WakeHandle of the queue; exported likewise.
QUORVEL_API std::intptr_t MainThreadWakeHandle();
