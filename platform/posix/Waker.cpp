#include "platform/Event.h"
#include "platform/Waker.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <system_error>

namespace platform {

namespace {

// poll() for one descriptor; a signal ends it early, and the wait goes on for what is left of
// its time rather than afresh, or signals coming faster than the time-out (a profiler's timer,
// say) would keep a limited wait from ever ending.
int PollWithin(pollfd& pfd, int milliseconds) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(milliseconds, 0));
  for (;;) {
    const int ready = poll(&pfd, 1, milliseconds);
    if (ready >= 0 || errno != EINTR) return ready;
    if (milliseconds > 0) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      milliseconds = static_cast<int>(std::max<decltype(left)>(left, 0));
    }
  }
}

}  // namespace

Waker::Waker() : handle_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  if (handle_ < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
}

Waker::~Waker() { close(static_cast<int>(handle_)); }

void Waker::Signal() {
  const std::uint64_t one = 1;
  [[maybe_unused]] ssize_t n = write(static_cast<int>(handle_), &one, sizeof one);
}

void Waker::Clear() {
  std::uint64_t count;
  [[maybe_unused]] ssize_t n = read(static_cast<int>(handle_), &count, sizeof count);
}

void Waker::WaitSignalled(int milliseconds) {
  pollfd pfd{static_cast<int>(handle_), POLLIN, 0};
  PollWithin(pfd, milliseconds);
}

bool PollHandleSignalled(std::intptr_t handle, int milliseconds) {
  pollfd pfd{static_cast<int>(handle), POLLIN, 0};
  return PollWithin(pfd, milliseconds) > 0;
}

int ThreadWakeFd() {
  // Made on the thread's first wait that serves a device and closed with the thread.
  struct Holder {
    int fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    ~Holder() {
      if (fd >= 0) close(fd);
    }
  };
  thread_local Holder holder;
  return holder.fd;
}

void SignalWakeFd(int fd) {
  const std::uint64_t one = 1;
  [[maybe_unused]] ssize_t n = write(fd, &one, sizeof one);
}

void DrainWakeFd(int fd) {
  std::uint64_t count;
  [[maybe_unused]] ssize_t n = read(fd, &count, sizeof count);
}

}  // namespace platform
