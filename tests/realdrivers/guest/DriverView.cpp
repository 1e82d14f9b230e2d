// termios2 comes from the kernel's header, which cannot share a file with <termios.h>.
#include "tests/realdrivers/guest/DriverView.h"

#include <asm/termbits.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace realdrivers {

namespace {

// TIOCM_LOOP, from a header that cannot stand beside the C library's ioctl declarations.
constexpr int LoopbackLine = 0x8000;

void Check(int result, const char* what) {
  if (result < 0) throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

}  // namespace

DriverView::DriverView(const std::string& path) {
  fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  Check(fd_, ("open " + path).c_str());
}

DriverView::~DriverView() { close(fd_); }

DriverView::Settings DriverView::Line() const {
  struct termios2 tio {};
  Check(ioctl(fd_, TCGETS2, &tio), "TCGETS2");
  return {static_cast<unsigned>(tio.c_cflag), static_cast<unsigned>(tio.c_ospeed), static_cast<unsigned>(tio.c_iflag)};
}

int DriverView::ModemLines() const {
  int lines = 0;
  Check(ioctl(fd_, TIOCMGET, &lines), "TIOCMGET");
  return lines;
}

void DriverView::SetLoopback(bool on) {
  int line = LoopbackLine;
  Check(ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line), "TIOCM_LOOP");
}

unsigned DriverView::Breaks() const {
  struct serial_icounter_struct counters {};
  Check(ioctl(fd_, TIOCGICOUNT, &counters), "TIOCGICOUNT");
  return static_cast<unsigned>(counters.brk);
}

int DriverView::OutputQueued() const {
  int queued = 0;
  Check(ioctl(fd_, TIOCOUTQ, &queued), "TIOCOUTQ");
  return queued;
}

}  // namespace realdrivers
