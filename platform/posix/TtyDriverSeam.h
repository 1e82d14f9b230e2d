// Every ioctl the backend sends a tty passes through TtyIoctl, and whether a device is a
// pseudo-terminal is asked through IsPseudoTerminal. Drivers differ in which requests they
// answer (a pseudo-terminal has no modem lines, a CP210x cannot wait for them, a CH341 counts
// no line errors); a test that installs a TtyDriver makes a real pseudo-terminal, whose data
// still flows, answer the way a given driver does.
#pragma once

#include <memory>
#include <optional>

namespace platform::posix {

class TtyDriver {
 public:
  virtual ~TtyDriver() = default;
  // The answer to a request (its result, with errno set where that is -1), or nullopt to let it
  // through to the kernel. Called on any thread; may block as the kernel's TIOCMIWAIT and
  // tcdrain do, in which case a signal must be able to end the wait with EINTR.
  virtual std::optional<int> Ioctl(int fd, unsigned long request, void* argument) = 0;
  // Whether the device is to be treated as a pseudo-terminal, or nullopt to ask the kernel.
  virtual std::optional<bool> IsPseudoTerminal(int /*fd*/) { return std::nullopt; }
};

// ioctl(2): 0 or a request's own result, or -1 with errno set.
int TtyIoctl(int fd, unsigned long request, void* argument);
// A pseudo-terminal has no wire: no framing of its own, no modem lines, no line counters.
bool IsPseudoTerminal(int fd);

// Puts `driver` in place of the kernel's for every tty of the process (nullptr removes it).
// Calls already inside the previous one finish there.
void InstallTtyDriver(std::shared_ptr<TtyDriver> driver);

}  // namespace platform::posix
