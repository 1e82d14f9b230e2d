// This file talks termios2 through the kernel's own header, which cannot share a translation
// unit with the C library's <termios.h>.
#include "tests/support/EmulatedDriver.h"

#include <asm/termbits.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "platform/posix/DcbTermios.h"

using platform::posix::FramingFlags;

const std::vector<DriverProfile>& EveryDriverProfile() {
  // name, waits for lines, counts, line status, RS-485, fastest rate, removal ends waits
  static const std::vector<DriverProfile> profiles = {
      {"uart8250", true, true, true, false, 115200, false},
      {"ftdi_sio", true, true, false, false, 0, true},
      {"cp210x", false, true, false, false, 0, true},
      {"ch341", true, false, false, false, 0, true},
      {"pl2303", true, false, false, false, 0, true},
      {"cdc_acm", true, true, false, false, 0, true},
  };
  return profiles;
}

DriverProfile Rs485Uart() { return {"uart8250_rs485", true, true, true, true, 115200, false}; }

EmulatedDriver::EmulatedDriver(DriverProfile profile, const PseudoTerminal& line)
    : profile_(std::move(profile)),
      // A freshly opened line with its far end present: the lines this end drives are up.
      lines_(TIOCM_DTR | TIOCM_RTS | TIOCM_CTS | TIOCM_DSR | TIOCM_CAR) {
  struct stat st {};
  if (stat(line.DevicePath().c_str(), &st) != 0) throw std::runtime_error("no line to emulate");
  device_ = st.st_rdev;
}

bool EmulatedDriver::Mine(int fd) const {
  struct stat st {};
  return fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && st.st_rdev == device_;
}

std::optional<bool> EmulatedDriver::IsPseudoTerminal(int fd) {
  if (!Mine(fd)) return std::nullopt;
  return false;
}

std::optional<int> EmulatedDriver::Ioctl(int fd, unsigned long request, void* argument) {
  if (!Mine(fd)) return std::nullopt;
  {
    std::lock_guard lock(mutex_);
    ++calls_[request];
  }
  const std::optional<int> error = Answer(fd, request, argument);
  if (!error || *error == 0) return error;
  errno = *error;
  return -1;
}

// The answer as 0 or an errno; nullopt lets the request through to the pseudo-terminal.
std::optional<int> EmulatedDriver::Answer(int fd, unsigned long request, void* argument) {
  // A line that has gone answers every request with EIO, as the real one does.
  int probe = 0;
  if (ioctl(fd, TIOCOUTQ, &probe) != 0 && errno == EIO) return EIO;
  if (request == TIOCMIWAIT) return profile_.waitsForLines ? WaitForLines(fd) : ENOTTY;
  if (request == TCSBRK && argument != nullptr) return WaitForOutput();  // tcdrain, not a break
  std::lock_guard lock(mutex_);
  switch (request) {
    case TCSETS2: {
      auto* tio = static_cast<termios2*>(argument);
      // The data flows through the pseudo-terminal in the mode asked for; the framing and
      // speed read back are the driver's, which keeps what the pseudo-terminal would not.
      if (ioctl(fd, TCSETS2, tio) != 0) return errno;
      controlFlags_ = tio->c_cflag & FramingFlags;
      framingKnown_ = true;
      if (profile_.fastestRate == 0 || tio->c_ospeed <= profile_.fastestRate) speed_ = tio->c_ospeed;
      return 0;
    }
    case TCGETS2: {
      auto* tio = static_cast<termios2*>(argument);
      if (ioctl(fd, TCGETS2, tio) != 0) return errno;
      if (!framingKnown_) {
        controlFlags_ = tio->c_cflag & FramingFlags;
        speed_ = tio->c_ospeed;
        framingKnown_ = true;
      }
      tio->c_cflag = (tio->c_cflag & ~FramingFlags & ~CBAUD) | controlFlags_ | BOTHER;
      tio->c_ispeed = tio->c_ospeed = speed_;
      return 0;
    }
    case TIOCMGET:
      *static_cast<int*>(argument) = lines_;
      return 0;
    case TIOCMSET:
    case TIOCMBIS:
    case TIOCMBIC: {
      const int driven = *static_cast<int*>(argument) & (TIOCM_DTR | TIOCM_RTS);
      if (request == TIOCMSET) lines_ = (lines_ & ~(TIOCM_DTR | TIOCM_RTS)) | driven;
      if (request == TIOCMBIS) lines_ |= driven;
      if (request == TIOCMBIC) lines_ &= ~driven;
      return 0;
    }
    case TIOCGICOUNT:
      if (!profile_.countsLines) return ENOTTY;
      *static_cast<serial_icounter_struct*>(argument) = counts_;
      return 0;
    case TIOCSERGETLSR:
      if (!profile_.readsLineStatus) return ENOTTY;
      *static_cast<unsigned*>(argument) = held_ == 0 ? TIOCSER_TEMT : 0;
      return 0;
    case TIOCSRS485:
      if (!profile_.rs485) return ENOTTY;
      rs485_ = *static_cast<serial_rs485*>(argument);
      return 0;
    case TIOCGRS485:
      if (!profile_.rs485) return ENOTTY;
      *static_cast<serial_rs485*>(argument) = rs485_;
      return 0;
    case TCFLSH:
      if (reinterpret_cast<unsigned long>(argument) != TCIFLUSH) {
        dropped_ += held_;
        held_ = 0;
        WakeLocked();
      }
      return std::nullopt;
    case TIOCOUTQ:
      if (held_ == 0) return std::nullopt;
      *static_cast<int*>(argument) = held_;
      return 0;
    default:
      return std::nullopt;
  }
}

int EmulatedDriver::WaitForLines(int fd) {
  serial_icounter_struct before;
  {
    std::lock_guard lock(mutex_);
    before = counts_;
  }
  return Block(fd, profile_.removalEndsWaits, [&] {
    return counts_.cts != before.cts || counts_.dsr != before.dsr || counts_.dcd != before.dcd ||
           counts_.rng != before.rng;
  });
}

int EmulatedDriver::WaitForOutput() {
  // A line that goes while its output is held is found at the next request.
  return Block(-1, false, [&] { return held_ == 0; });
}

int EmulatedDriver::Block(int fd, bool hangUpEnds, const std::function<bool()>& done) {
  // Each wait has its own wake-up, so that one waiter does not take another's.
  const int wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake < 0) return ENOMEM;
  std::unique_lock lock(mutex_);
  waiters_.insert(wake);
  ++blocked_;
  int result = 0;
  while (!done()) {
    lock.unlock();
    // Events 0 on the line: only its hang-up is reported.
    pollfd fds[2] = {{wake, POLLIN, 0}, {hangUpEnds ? fd : -1, 0, 0}};
    const int n = poll(fds, 2, -1);
    const int pollError = errno;
    std::uint64_t count;
    [[maybe_unused]] const ssize_t r = read(wake, &count, sizeof count);
    lock.lock();
    if (n < 0 && pollError == EINTR) {
      result = EINTR;
      break;
    }
    if (fds[1].revents & (POLLHUP | POLLERR)) {
      result = EIO;
      break;
    }
  }
  --blocked_;
  waiters_.erase(wake);
  close(wake);
  return result;
}

void EmulatedDriver::WakeLocked() {
  const std::uint64_t one = 1;
  for (const int wake : waiters_) [[maybe_unused]] const ssize_t n = write(wake, &one, sizeof one);
}

void EmulatedDriver::SetInputLines(int lines) {
  std::lock_guard lock(mutex_);
  const int moved = (lines_ ^ lines) & (TIOCM_CTS | TIOCM_DSR | TIOCM_CAR | TIOCM_RNG);
  if (moved & TIOCM_CTS) ++counts_.cts;
  if (moved & TIOCM_DSR) ++counts_.dsr;
  if (moved & TIOCM_CAR) ++counts_.dcd;
  if (moved & TIOCM_RNG) ++counts_.rng;
  lines_ = (lines_ & (TIOCM_DTR | TIOCM_RTS)) | (lines & ~(TIOCM_DTR | TIOCM_RTS));
  WakeLocked();
}

void EmulatedDriver::CountLineError(int serial_icounter_struct::*counter) {
  std::lock_guard lock(mutex_);
  ++(counts_.*counter);
}

void EmulatedDriver::HoldOutput(int bytes) {
  std::lock_guard lock(mutex_);
  held_ = bytes;
}

void EmulatedDriver::ReleaseOutput() {
  std::lock_guard lock(mutex_);
  held_ = 0;
  WakeLocked();
}

int EmulatedDriver::OutputLines() const {
  std::lock_guard lock(mutex_);
  return lines_ & (TIOCM_DTR | TIOCM_RTS);
}

serial_rs485 EmulatedDriver::Rs485() const {
  std::lock_guard lock(mutex_);
  return rs485_;
}

unsigned EmulatedDriver::TakenControlFlags() const {
  std::lock_guard lock(mutex_);
  return controlFlags_;
}

unsigned EmulatedDriver::TakenSpeed() const {
  std::lock_guard lock(mutex_);
  return speed_;
}

int EmulatedDriver::Calls(unsigned long request) const {
  std::lock_guard lock(mutex_);
  const auto found = calls_.find(request);
  return found == calls_.end() ? 0 : found->second;
}

int EmulatedDriver::DroppedOutput() const {
  std::lock_guard lock(mutex_);
  return dropped_;
}

int EmulatedDriver::BlockedWaits() const {
  std::lock_guard lock(mutex_);
  return blocked_;
}

InstalledDriver::InstalledDriver(DriverProfile profile, const PseudoTerminal& line)
    : driver_(std::make_shared<EmulatedDriver>(std::move(profile), line)) {
  platform::posix::InstallTtyDriver(driver_);
}

InstalledDriver::~InstalledDriver() { platform::posix::InstallTtyDriver(nullptr); }
