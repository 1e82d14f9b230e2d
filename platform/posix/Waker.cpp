#include "platform/Event.h"
#include "platform/Waker.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace platform {

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
  while (poll(&pfd, 1, milliseconds) < 0 && errno == EINTR) {
  }
}

bool PollHandleSignalled(std::intptr_t handle, int milliseconds) {
  pollfd pfd{static_cast<int>(handle), POLLIN, 0};
  int ready;
  while ((ready = poll(&pfd, 1, milliseconds)) < 0 && errno == EINTR) {
  }
  return ready > 0;
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
