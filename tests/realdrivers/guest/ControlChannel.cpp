#include "tests/realdrivers/guest/ControlChannel.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "tests/realdrivers/Protocol.h"

namespace realdrivers {

ControlChannel& ControlChannel::Instance() {
  static ControlChannel channel;
  return channel;
}

ControlChannel::ControlChannel() {
  // The guest's console is its ttyS0, whose far end is the harness.
  fd_ = open("/dev/ttyS0", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd_ < 0) throw std::runtime_error("the console to the harness cannot be opened");
  // Raw, so the harness's answers are neither echoed back nor cooked.
  termios tio{};
  if (tcgetattr(fd_, &tio) == 0) {
    cfmakeraw(&tio);
    tcsetattr(fd_, TCSANOW, &tio);
  }
}

Answer ControlChannel::Ask(const std::string& verb, const std::string& arguments, std::chrono::milliseconds patience) {
  std::lock_guard lock(mutex_);
  const unsigned id = ++lastId_;
  const std::string line = FormatMessage(id, verb, arguments);
  // One write for the whole line, so it never mixes with a test's own output.
  if (write(fd_, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
    throw std::runtime_error("the request could not be sent to the harness");
  const auto deadline = std::chrono::steady_clock::now() + patience + std::chrono::seconds(10);
  for (;;) {
    const std::optional<Message> reply = ParseMessage(ReadLine(deadline));
    if (reply && reply->id == id) return {reply->word == "ok", reply->text};
  }
}

std::string ControlChannel::ReadLine(std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    if (const auto end = buffered_.find('\n'); end != std::string::npos) {
      std::string line = buffered_.substr(0, end);
      buffered_.erase(0, end + 1);
      return line;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd pfd{fd_, POLLIN, 0};
    const int ready = poll(&pfd, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) throw std::runtime_error("the harness did not answer");
    char buffer[4096];
    const ssize_t n = read(fd_, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw std::runtime_error("the console to the harness has gone");
    buffered_.append(buffer, static_cast<std::size_t>(n));
  }
}

}  // namespace realdrivers
