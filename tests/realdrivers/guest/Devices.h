// The guest's serial devices under test, the far end of each (the harness) and the machine's
// hot-plugging of the two that can be unplugged.
#pragma once

#include <chrono>
#include <ostream>
#include <string>

namespace realdrivers {

enum class Device {
  Uart,        // ttyS1: an ISA 16550A (the 8250 driver)
  PciCard,     // ttyS2: a PCI card (8250_pci), hot-pluggable
  UsbAdapter,  // ttyUSB0 at first: an FTDI adapter on xHCI (ftdi_sio), hot-pluggable
};

// The name the harness knows the device by, and a readable one for test names.
const char* HarnessName(Device device);
const char* DriverName(Device device);
// Test parameters print as the driver's name.
void PrintTo(Device device, std::ostream* out);

// The device's node as the guest has it now; waits for a USB adapter that is still coming up.
std::string DevicePath(Device device);

// What the harness (the far end of the device's line) received and sends.
class FarEnd {
 public:
  explicit FarEnd(Device device) : device_(device) {}

  // The next `count` bytes the device sent, or those that came within the limit.
  std::string Take(std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(5));
  // Waits for the next `count` bytes the device sent and forgets them; how many came in time.
  std::size_t Drop(std::size_t count, std::chrono::milliseconds limit);
  // Forgets what has arrived so far.
  void Skip();
  // How many bytes have arrived and were not taken.
  std::size_t Count();
  void Send(const std::string& bytes);
  // Only the ISA UART's far end can send a break.
  void SendBreak();
  // A held far end stops reading, and the device's output stalls (not the USB adapter's).
  void Hold();
  void Release();

 private:
  Device device_;
};

struct Removal {
  bool finished = false;  // the kernel completed the removal within the limit
  std::string detail;     // the harness's word otherwise
};

// Unplugs the device and waits until the guest's kernel has let go of it.
Removal Unplug(Device device, std::chrono::milliseconds limit = std::chrono::seconds(5));
// Plugs it back and waits until the guest's driver serves it again: its node, which for the
// USB adapter may be a new name while the old one is still open.
std::string Replug(Device device);

}  // namespace realdrivers
