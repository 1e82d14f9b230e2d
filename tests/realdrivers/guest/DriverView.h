// A device as its kernel driver holds it, seen through a descriptor of the test's own: the
// line settings (termios2), the modem lines and the driver's counters, independent of what the
// port believes. Opened without the port's lock: root may open a tty that a port holds
// exclusively, and this is the check that the port really set what it says.
#pragma once

#include <string>

namespace realdrivers {

class DriverView {
 public:
  explicit DriverView(const std::string& path);
  ~DriverView();
  DriverView(const DriverView&) = delete;
  DriverView& operator=(const DriverView&) = delete;

  struct Settings {
    unsigned cflag = 0;  // c_cflag: CSIZE, PARENB, PARODD, CMSPAR, CSTOPB, CRTSCTS...
    unsigned speed = 0;  // c_ospeed
    unsigned iflag = 0;
    bool operator==(const Settings&) const = default;
  };
  Settings Line() const;
  int ModemLines() const;  // TIOCM_* bits
  // The UART's internal loopback (TIOCM_LOOP): what it sends comes back, and the modem inputs
  // follow its outputs.
  void SetLoopback(bool on);
  unsigned Breaks() const;  // the driver's break counter
  // Bytes the kernel still holds for the wire.
  int OutputQueued() const;

 private:
  int fd_ = -1;
};

}  // namespace realdrivers
