// The virtual machine: QEMU under software emulation with Debian's kernel, the bench's
// initramfs and the serial devices under test, each with a socket whose host end the harness
// holds. The sockets are made here and handed to QEMU already listening, and the harness
// connects at once: nothing waits for QEMU to create them.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace realdrivers {

// One of the guest's serial devices as QEMU models it.
struct GuestDevice {
  const char* name;         // as the guest's tests name it: uart, pci, usb
  const char* qemuDevice;   // -device options, and device_add's arguments for a replug
  const char* deviceId;     // the id device_del takes; empty for one that cannot be unplugged
  const char* deviceAddJson;
  bool telnet;              // the far end can send a break
};

const std::vector<GuestDevice>& GuestDevices();
const GuestDevice* FindGuestDevice(const std::string& name);

class Machine {
 public:
  struct Files {
    std::string kernel;
    std::string initramfs;
    std::string log;     // QEMU's own messages
    std::string filter;  // a Google Test filter for the guest's programs; empty: every test
  };
  // Starts QEMU; throws std::runtime_error saying plainly why it could not.
  explicit Machine(const Files& files);
  // Ends QEMU if it still runs.
  ~Machine();
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  // The host end of the console, of QMP and of each device, connected. The caller owns it.
  int TakeConsole() { return Take(console_); }
  int TakeQmp() { return Take(qmp_); }
  int TakeDevice(std::size_t index) { return Take(devices_.at(index)); }

  // Waits for QEMU to end by itself, up to `limit`, then ends it. Its exit status, or -1.
  int Finish(std::chrono::milliseconds limit);

 private:
  struct Socket {
    int listening = -1;  // QEMU's side
    int connected = -1;  // the harness's side
  };
  static Socket MakeSocket(const std::string& name);
  static int Take(Socket& socket);

  Socket console_, qmp_;
  std::vector<Socket> devices_;
  pid_t qemu_ = -1;
};

}  // namespace realdrivers
