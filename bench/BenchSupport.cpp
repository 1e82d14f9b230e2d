#include "bench/BenchSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <sys/eventfd.h>
#include <unistd.h>

DrainedLine::DrainedLine() : stopFd_(eventfd(0, EFD_CLOEXEC)) {
  reader_ = std::thread([this] {
    char buffer[65536];
    for (;;) {
      pollfd fds[2] = {{pty_.MasterFd(), POLLIN, 0}, {stopFd_, POLLIN, 0}};
      if (poll(fds, 2, -1) < 0) continue;
      if (fds[1].revents) return;
      if (fds[0].revents & POLLIN) {
        const ssize_t n = read(pty_.MasterFd(), buffer, sizeof buffer);
        if (n > 0) drained_ += static_cast<std::uint64_t>(n);
      } else if (fds[0].revents) {
        usleep(1000);  // no device side open at the moment (between a close and an open)
      }
    }
  });
}

DrainedLine::~DrainedLine() {
  const std::uint64_t one = 1;
  [[maybe_unused]] ssize_t n = write(stopFd_, &one, sizeof one);
  reader_.join();
  close(stopFd_);
}

void DrainedLine::SendToDevice(const std::string& bytes) { pty_.Write(bytes); }

int OpenRawDevice(const std::string& path, int extraFlags) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | extraFlags);
  termios raw{};
  tcgetattr(fd, &raw);
  cfmakeraw(&raw);
  tcsetattr(fd, TCSANOW, &raw);
  return fd;
}
