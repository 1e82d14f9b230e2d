// A thread that spends its life blocked in kernel waits that only a signal, or what they wait
// for, can end (TIOCMIWAIT, tcdrain). Its body loops until `stopping` is set; each wait returns
// EINTR when the thread is signalled.
//
// A single signal could land just before the thread enters its wait and be lost, so a stop
// sends the wake signal again and again, from a kernel timer aimed at the thread, until the
// thread has gone. Asking for the stop never waits: it may come from under a lock that the
// thread itself takes to report. The timer exists only while a stop is under way.
//
// Fields: stopping_ is read by the body's thread and set by any; tid_, timer_ and done_ are
// guarded by mutex_, which both sides take.
#pragma once

#include <time.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace platform::posix {

class InterruptibleThread {
 public:
  // Starts the thread; throws std::system_error when it cannot.
  InterruptibleThread(const char* name, std::function<void(const std::atomic<bool>& stopping)> body);
  // Stops the thread and waits for it.
  ~InterruptibleThread();
  InterruptibleThread(const InterruptibleThread&) = delete;
  InterruptibleThread& operator=(const InterruptibleThread&) = delete;

  // Sets `stopping` and interrupts the thread's waits until it has gone; returns at once.
  void RequestStop();

 private:
  void Run(const char* name) noexcept;
  void StartInterruptingLocked();

  std::function<void(const std::atomic<bool>&)> body_;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::optional<pid_t> tid_;
  std::optional<timer_t> timer_;
  bool done_ = false;
  std::thread thread_;
};

}  // namespace platform::posix
