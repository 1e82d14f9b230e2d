#include "platform/posix/InterruptibleThread.h"

#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/ThreadControl.h"

namespace platform::posix {

namespace {

// The signal that interrupts a thread's wait. Its handler does nothing; it is installed
// without SA_RESTART so that the wait returns EINTR.
int WakeSignal() {
  static const int signal = [] {
    const int chosen = SIGRTMIN + 4;
    struct sigaction action {};
    action.sa_handler = [](int) {};
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(chosen, &action, nullptr);
    return chosen;
  }();
  return signal;
}

// A wake signal for the thread every 10 ms, the first at once.
constexpr long RepeatNanoseconds = 10'000'000;

}  // namespace

InterruptibleThread::InterruptibleThread(const char* name, std::function<void(const std::atomic<bool>&)> body)
    : body_(std::move(body)) {
  WakeSignal();
  thread_ = std::thread(&InterruptibleThread::Run, this, name);
}

InterruptibleThread::~InterruptibleThread() {
  RequestStop();
  thread_.join();
}

void InterruptibleThread::RequestStop() {
  std::lock_guard lock(mutex_);
  if (stopping_.exchange(true)) return;
  // Before the thread has said who it is it has not waited yet, and it looks at `stopping`
  // first; once it is done there is nothing to interrupt.
  if (tid_ && !done_) StartInterruptingLocked();
}

void InterruptibleThread::StartInterruptingLocked() {
  sigevent event{};
  event.sigev_notify = SIGEV_THREAD_ID;
  event.sigev_signo = WakeSignal();
  event._sigev_un._tid = *tid_;  // glibc 2.36 names the field only this way
  timer_t timer;
  if (timer_create(CLOCK_MONOTONIC, &event, &timer) != 0) {
    // Without a timer one signal is all there is: the wait it misses ends with the next one.
    syscall(SYS_tgkill, getpid(), *tid_, WakeSignal());
    return;
  }
  itimerspec every{};
  every.it_value.tv_nsec = 1;
  every.it_interval.tv_nsec = RepeatNanoseconds;
  timer_settime(timer, 0, &every, nullptr);
  timer_ = timer;
}

void InterruptibleThread::Run(const char* name) noexcept {
  SetCurrentThreadName(name);
  bool stopped;
  {
    std::lock_guard lock(mutex_);
    tid_ = static_cast<pid_t>(syscall(SYS_gettid));
    stopped = stopping_;
  }
  try {
    if (!stopped) body_(stopping_);
  } catch (...) {
    // Nothing to report to: the thread's owner hears of nothing more from it.
  }
  std::lock_guard lock(mutex_);
  done_ = true;
  if (timer_) timer_delete(*timer_);
  timer_.reset();
}

}  // namespace platform::posix
