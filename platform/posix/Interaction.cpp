#include "platform/Interaction.h"

#include <fcntl.h>
#include <netdb.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

bool ConnectsToUnixSocket(const std::string& path, bool abstractName) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::size_t offset = abstractName ? 1 : 0;
  if (path.size() + offset >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path + offset, path.data(), path.size());
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size() + (abstractName ? 0 : 1));
  const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0;
  close(fd);
  return connected;
}

bool ConnectsToTcp(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
  bool connected = false;
  for (addrinfo* a = found; a && !connected; a = a->ai_next) {
    const int fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) continue;
    connected = connect(fd, a->ai_addr, a->ai_addrlen) == 0;
    close(fd);
  }
  freeaddrinfo(found);
  return connected;
}

// DISPLAY is [host]:number[.screen]; a local one is a socket in /tmp/.X11-unix (or its
// abstract twin).
bool XServerAnswers(const std::string& display) {
  const auto colon = display.rfind(':');
  if (colon == std::string::npos) return false;
  const std::string host = display.substr(0, colon);
  const int number = std::atoi(display.c_str() + colon + 1);
  if (host.empty() || host == "unix") {
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
    return ConnectsToUnixSocket(socket, false) || ConnectsToUnixSocket(socket, true);
  }
  return ConnectsToTcp(host, 6000 + number);
}

bool WaylandAnswers(const std::string& display) {
  if (!display.empty() && display.front() == '/') return ConnectsToUnixSocket(display, false);
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return runtime && ConnectsToUnixSocket(std::string(runtime) + "/" + display, false);
}

}  // namespace

bool DisplayReachable() {
  if (const char* platform = std::getenv("QT_QPA_PLATFORM"); platform && *platform) return true;
  if (const char* wayland = std::getenv("WAYLAND_DISPLAY"); wayland && *wayland && WaylandAnswers(wayland)) return true;
  if (const char* x = std::getenv("DISPLAY"); x && *x && XServerAnswers(x)) return true;
  return false;
}

std::unique_ptr<Terminal> Terminal::OpenControlling() {
  const int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  return std::unique_ptr<Terminal>(new Terminal(fd, fd));
}

Terminal::~Terminal() { close(static_cast<int>(input_)); }

void Terminal::Write(const std::string& Text) {
  std::size_t done = 0;
  while (done < Text.size()) {
    const ssize_t n = write(static_cast<int>(output_), Text.data() + done, Text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

bool Terminal::ReadLine(std::string& Line) {
  Line.clear();
  for (;;) {
    char c;
    const ssize_t n = read(static_cast<int>(input_), &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return !Line.empty();
    if (c == '\n') return true;
    if (c != '\r') Line.push_back(c);
  }
}

}  // namespace platform
