#include "tests/support/PseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

#include "tools/lcdemu/HexBytes.h"

PseudoTerminal::PseudoTerminal() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) throw std::runtime_error("no pseudo-terminal");
  devicePath_ = ptsname(master_);
}

PseudoTerminal::~PseudoTerminal() { CloseMaster(); }

unsigned PseudoTerminal::DeviceControlFlags() const {
  // Termios requests on the master act on the device side.
  termios tio{};
  if (tcgetattr(master_, &tio) != 0) throw std::runtime_error("the pseudo-terminal's settings cannot be read");
  return tio.c_cflag;
}

void PseudoTerminal::CloseMaster() {
  if (master_ >= 0) close(master_);
  master_ = -1;
}

std::string PseudoTerminal::Read(std::size_t count, std::chrono::milliseconds limit) {
  return ReadFrom(master_, count, limit);
}

std::string ReadFrom(int fd, std::size_t count, std::chrono::milliseconds limit) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + limit;
  std::string got;
  while (got.size() < count) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd pfd{fd, POLLIN, 0};
    if (left <= 0 || poll(&pfd, 1, static_cast<int>(left)) <= 0) break;
    char buffer[4096];
    const ssize_t n = read(fd, buffer, std::min(sizeof buffer, count - got.size()));
    if (n <= 0) break;
    got.append(buffer, static_cast<std::size_t>(n));
  }
  return got;
}

std::string PseudoTerminal::ReadAvailable(std::chrono::milliseconds quiet) {
  std::string got;
  for (;;) {
    pollfd pfd{master_, POLLIN, 0};
    if (poll(&pfd, 1, static_cast<int>(quiet.count())) <= 0) break;
    char buffer[4096];
    const ssize_t n = read(master_, buffer, sizeof buffer);
    if (n <= 0) break;
    got.append(buffer, static_cast<std::size_t>(n));
  }
  return got;
}

void PseudoTerminal::Write(const std::string& bytes) {
  if (::write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
    throw std::runtime_error("write to pseudo-terminal master failed");
}

std::string Hex(const std::string& bytes) { return HexBytes(bytes); }
