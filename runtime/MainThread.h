// The main thread's queue: other threads hand work to the main thread here (Synchronize,
// messages sent to hidden windows) and the main thread runs it in CheckSynchronize. A host's
// event loop can watch WakeHandle() instead of calling CheckSynchronize on a timer.
//
// Threads: any thread posts work and notifies; only the main thread runs work and waits. work_
// and waiting_ are guarded by mutex_; waker_ and attention_ are signalled under it (waker_ also
// cleared under it), and attention_ is waited on, then cleared under it, by the main thread.
#pragma once

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
  // Signalled while work is queued (Linux: a readable file descriptor; Windows: an event).
  std::intptr_t WakeHandle() const { return waker_.PollHandle(); }

 private:
  bool RunQueued();
  // Sleeps until work is queued, Notify is called or `milliseconds` pass (negative: no limit),
  // unless work waits or Done holds already; on Windows, messages sent to the main thread's
  // windows are delivered meanwhile.
  void WaitForAttention(int milliseconds, const std::function<bool()>* Done);

  std::mutex mutex_;
  std::deque<std::function<void()>> work_;
  platform::Waker waker_;      // for the host's loop: signalled exactly while work is queued
  platform::Waker attention_;  // for the runtime's own waits on the main thread
  int waiting_ = 0;            // main-thread waits on attention_ (guarded by mutex_)
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
