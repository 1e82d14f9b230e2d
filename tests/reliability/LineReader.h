// The other side of a line, read on a thread of its own so that writes never have to wait.
#pragma once

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <stdexcept>
#include <thread>

// Reads the line's other side on a thread of its own, so that no write ever has to wait, and
// answers one byte for every 4 KB so received-character events come as well.
class LineReader {
 public:
  explicit LineReader(int master) : master_(master) {
    if (pipe(stop_) != 0) throw std::runtime_error("no pipe");
    thread_ = std::thread([this] { Run(); });
  }
  ~LineReader() {
    const char stop = 0;
    [[maybe_unused]] ssize_t n = write(stop_[1], &stop, 1);
    thread_.join();
    close(stop_[0]);
    close(stop_[1]);
  }
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;
  std::uint64_t Received() const { return received_.load(); }

 private:
  void Run() {
    // Signals meant for the code under test are not this thread's business.
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
    char buffer[65536];
    std::uint64_t sinceAnswer = 0;
    for (;;) {
      pollfd fds[2] = {{master_, POLLIN, 0}, {stop_[0], POLLIN, 0}};
      if (poll(fds, 2, -1) < 0) continue;
      if (fds[1].revents) return;
      const ssize_t n = read(master_, buffer, sizeof buffer);
      if (n <= 0) return;  // the line has gone
      received_ += static_cast<std::uint64_t>(n);
      sinceAnswer += static_cast<std::uint64_t>(n);
      if (sinceAnswer >= 4096) {
        sinceAnswer = 0;
        [[maybe_unused]] ssize_t w = write(master_, "r", 1);
      }
    }
  }
  int master_;
  int stop_[2]{-1, -1};
  std::atomic<std::uint64_t> received_{0};
  std::thread thread_;
};
