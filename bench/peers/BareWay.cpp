// The floor: write(2) on a raw blocking descriptor, and a thread that waits in poll() and hands
// each byte to the main thread over a pipe; with `watched`, that thread runs from the open on,
// as a port that watches its line must have one.
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

#include "bench/peers/LineWay.h"

namespace {

class Bare final : public LineWay {
 public:
  explicit Bare(bool watched) : watched_(watched) {}
  std::string Name() const override { return watched_ ? "bare, with a watching thread" : "bare write() and poll()"; }
  void Open(const std::string& path) override {
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) throw std::runtime_error("cannot open " + path);
    termios raw{};
    tcgetattr(fd_, &raw);
    cfmakeraw(&raw);
    cfsetspeed(&raw, B9600);
    tcsetattr(fd_, TCSANOW, &raw);
    // The least a port that watches its line needs: a thread waiting in poll() from the open on.
    if (watched_) StartReader();
  }
  void Close() override {
    StopReader();
    close(fd_);
  }
  void Frame() override {
    for (const std::string& s : FrameStrings())
      if (write(fd_, s.data(), s.size()) != static_cast<ssize_t>(s.size())) throw std::runtime_error("short write");
  }
  void AwaitByte(const std::function<void()>& send) override {
    StartReader();
    send();
    char byte;
    if (read(handOver_[0], &byte, 1) != 1) throw std::runtime_error("no byte");
  }

 private:
  void StartReader() {
    if (reader_.joinable()) return;
    if (pipe2(handOver_, O_CLOEXEC) != 0) throw std::runtime_error("no pipe");
    stop_ = eventfd(0, EFD_CLOEXEC);
    reader_ = std::thread([this] {
      char buffer[64];
      for (;;) {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {stop_, POLLIN, 0}};
        poll(fds, 2, -1);
        if (fds[1].revents) return;
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n > 0) [[maybe_unused]] ssize_t w = write(handOver_[1], buffer, 1);
      }
    });
  }
  void StopReader() {
    if (!reader_.joinable()) return;
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(stop_, &one, sizeof one);
    reader_.join();
    close(stop_);
    close(handOver_[0]);
    close(handOver_[1]);
  }

  const bool watched_;
  int fd_ = -1;
  int handOver_[2] = {-1, -1};
  int stop_ = -1;
  std::thread reader_;
};

}  // namespace

std::unique_ptr<LineWay> BareWay(bool watched) { return std::make_unique<Bare>(watched); }
