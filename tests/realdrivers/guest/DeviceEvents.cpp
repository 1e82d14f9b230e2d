#include "tests/realdrivers/guest/DeviceEvents.h"

#include <linux/netlink.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace realdrivers {

DeviceEvents::DeviceEvents() {
  fd_ = socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_KOBJECT_UEVENT);
  if (fd_ < 0) throw std::runtime_error("the kernel's device events cannot be followed");
  // Enumerating a USB device sends a burst of events; none may be dropped.
  const int size = 1 << 20;
  setsockopt(fd_, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size);
  sockaddr_nl address{};
  address.nl_family = AF_NETLINK;
  address.nl_groups = 1;  // the kernel's own events
  if (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd_);
    throw std::runtime_error("the kernel's device events cannot be followed");
  }
}

DeviceEvents::~DeviceEvents() { close(fd_); }

std::optional<DeviceEvent> DeviceEvents::WaitFor(const std::function<bool(const DeviceEvent&)>& wanted,
                                                 std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    char buffer[8192];
    const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
    if (n > 0) {
      DeviceEvent event = ParseDeviceEvent(std::string(buffer, static_cast<std::size_t>(n)));
      if (wanted(event)) return event;
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) return std::nullopt;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd pfd{fd_, POLLIN, 0};
    poll(&pfd, 1, static_cast<int>(left.count()));
  }
}

DeviceEvent ParseDeviceEvent(const std::string& message) {
  DeviceEvent event;
  std::size_t at = 0;
  while (at < message.size()) {
    const std::size_t end = message.find('\0', at);
    const std::string field = message.substr(at, end == std::string::npos ? std::string::npos : end - at);
    at = end == std::string::npos ? message.size() : end + 1;
    auto value = [&](const char* key) -> std::optional<std::string> {
      const std::string prefix = std::string(key) + "=";
      if (field.rfind(prefix, 0) != 0) return std::nullopt;
      return field.substr(prefix.size());
    };
    if (auto v = value("ACTION")) event.action = *v;
    if (auto v = value("DEVPATH")) event.devpath = *v;
    if (auto v = value("SUBSYSTEM")) event.subsystem = *v;
    if (auto v = value("DEVNAME")) event.devname = *v;
  }
  return event;
}

}  // namespace realdrivers
