// The kernel's serial drivers, as far as they answer differently from a pseudo-terminal: one
// profile per driver users have (from the drivers' operation tables in Linux 6.1), and an
// EmulatedDriver that answers the tty ioctls of one real pseudo-terminal as that driver does,
// while the data still flows through the pseudo-terminal itself.
//
// The test is the far end: it moves the modem input lines, counts line errors, holds the
// output as flow control would, and reads what the port did to the lines it drives. Unplugging
// is closing the pseudo-terminal's master, which the emulated answers follow.
//
// Fields below mutex_ are guarded by it; the port's threads call Ioctl, the test the rest.
#pragma once

#include <linux/serial.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "platform/posix/TtyDriverSeam.h"
#include "tests/support/PseudoTerminal.h"

struct DriverProfile {
  std::string name;
  bool waitsForLines;       // TIOCMIWAIT
  bool countsLines;         // TIOCGICOUNT: modem-line changes and line errors
  bool readsLineStatus;     // TIOCSERGETLSR
  bool rs485;               // TIOCSRS485 / TIOCGRS485
  std::uint32_t fastestRate;  // a faster rate is not taken: the speed stays as it was (0: any rate)
  // A wait for the lines that the line's removal ends with EIO (USB); otherwise only a signal
  // ends it, and until then it holds up the removal (a PCI card).
  bool removalEndsWaits;
};

// 8250 (ttyS, PC UARTs and PCI cards), ftdi_sio, cp210x, ch341, pl2303, cdc_acm.
const std::vector<DriverProfile>& EveryDriverProfile();
// The 8250 with an RS-485 capable port (boards whose UART can switch RTS while sending).
DriverProfile Rs485Uart();
// How a test's failure names a profile.
inline void PrintTo(const DriverProfile& profile, std::ostream* out) { *out << profile.name; }
// A parameterised test's name for a profile.
template <class ParamInfo>
std::string ProfileName(const ParamInfo& info) {
  return info.param.name;
}

class EmulatedDriver : public platform::posix::TtyDriver {
 public:
  EmulatedDriver(DriverProfile profile, const PseudoTerminal& line);
  EmulatedDriver(const EmulatedDriver&) = delete;
  EmulatedDriver& operator=(const EmulatedDriver&) = delete;

  std::optional<int> Ioctl(int fd, unsigned long request, void* argument) override;
  std::optional<bool> IsPseudoTerminal(int fd) override;

  const DriverProfile& Profile() const { return profile_; }

  // The far end moves its lines (TIOCM_CTS, TIOCM_DSR, TIOCM_CAR, TIOCM_RNG): each change is
  // counted and ends a wait for the lines.
  void SetInputLines(int lines);
  // The driver counts a line error or break (the serial_icounter_struct field).
  void CountLineError(int serial_icounter_struct::*counter);
  // Flow control holds `bytes` in the tty: TIOCOUTQ reads them and tcdrain waits, until the
  // output is released.
  void HoldOutput(int bytes);
  void ReleaseOutput();

  // What the port did: the lines it drives (TIOCM_DTR, TIOCM_RTS), the RS-485 mode, the framing
  // control flags and speed the device took.
  int OutputLines() const;
  serial_rs485 Rs485() const;
  unsigned TakenControlFlags() const;
  unsigned TakenSpeed() const;
  // How often the port made a request, and how many of its waits (for the lines, for the
  // output) are blocked in the driver now.
  int Calls(unsigned long request) const;
  int BlockedWaits() const;
  // Held output the port flushed.
  int DroppedOutput() const;

 private:
  std::optional<int> Answer(int fd, unsigned long request, void* argument);
  int WaitForLines(int fd);
  int WaitForOutput();
  // Blocks until `done` holds, the line hangs up (when `hangUpEnds`), or a signal comes:
  // 0, EIO or EINTR.
  int Block(int fd, bool hangUpEnds, const std::function<bool()>& done);
  void WakeLocked();
  bool Mine(int fd) const;

  const DriverProfile profile_;
  dev_t device_ = 0;
  mutable std::mutex mutex_;
  std::set<int> waiters_;  // an eventfd for each blocked wait, signalled on every change
  int lines_;
  serial_icounter_struct counts_{};
  int held_ = 0;
  int dropped_ = 0;
  serial_rs485 rs485_{};
  bool framingKnown_ = false;
  unsigned controlFlags_ = 0;
  unsigned speed_ = 0;
  std::map<unsigned long, int> calls_;
  int blocked_ = 0;
};

// The driver in the kernel's place for as long as it is held.
class InstalledDriver {
 public:
  InstalledDriver(DriverProfile profile, const PseudoTerminal& line);
  ~InstalledDriver();
  EmulatedDriver& operator*() const { return *driver_; }
  EmulatedDriver* operator->() const { return driver_.get(); }

 private:
  std::shared_ptr<EmulatedDriver> driver_;
};
