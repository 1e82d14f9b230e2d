#include "tests/realdrivers/harness/HostEnd.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace realdrivers {

HostEnd::HostEnd(std::string name, int fd, bool telnet) : name_(std::move(name)), fd_(fd), telnet_(telnet) {}

HostEnd::~HostEnd() { close(fd_); }

short HostEnd::PollEvents() const {
  if (closed_) return 0;
  return static_cast<short>((held_ ? 0 : POLLIN) | (outbox_.empty() ? 0 : POLLOUT));
}

bool HostEnd::Serve(short revents) {
  if (closed_) return false;
  if (revents & POLLOUT) Flush();
  if (!held_ && (revents & (POLLIN | POLLHUP | POLLERR))) {
    char buffer[65536];
    for (;;) {
      const ssize_t n = recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
      if (n > 0) {
        const std::string_view data(buffer, static_cast<std::size_t>(n));
        received_ += telnet_ ? greeting_.Strip(data) : std::string(data);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
      closed_ = true;  // the end of the stream, or the connection is gone
      return false;
    }
  }
  return true;
}

std::string HostEnd::Take(std::size_t count) {
  std::string taken = received_.substr(0, count);
  received_.erase(0, taken.size());
  return taken;
}

std::optional<std::string> HostEnd::TakeLine() {
  const auto end = received_.find('\n');
  if (end == std::string::npos) return std::nullopt;
  std::string line = received_.substr(0, end);
  received_.erase(0, end + 1);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

void HostEnd::Send(std::string_view bytes) {
  outbox_ += telnet_ ? TelnetEscaped(bytes) : std::string(bytes);
  Flush();
}

bool HostEnd::SendBreak() {
  if (!telnet_) return false;
  outbox_ += TelnetBreak;
  Flush();
  return true;
}

void HostEnd::Flush() {
  while (!outbox_.empty() && !closed_) {
    const ssize_t n = send(fd_, outbox_.data(), outbox_.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    if (n > 0) {
      outbox_.erase(0, static_cast<std::size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    closed_ = true;
  }
}

}  // namespace realdrivers
