#include "tests/realdrivers/guest/Devices.h"

#include <filesystem>
#include <stdexcept>

#include "tests/realdrivers/Protocol.h"
#include "tests/realdrivers/guest/ControlChannel.h"
#include "tests/realdrivers/guest/DeviceEvents.h"

namespace realdrivers {

namespace {

using std::chrono::milliseconds;

// A USB adapter's enumeration under software emulation takes about a second.
constexpr milliseconds ArrivalPatience{15000};

Answer Ask(const std::string& verb, Device device, const std::string& arguments = "",
           milliseconds patience = std::chrono::seconds(60)) {
  return ControlChannel::Instance().Ask(verb, std::string(HarnessName(device)) + (arguments.empty() ? "" : " " + arguments),
                                        patience);
}

void Expect(const Answer& answer, const std::string& what) {
  if (!answer.ok) throw std::runtime_error(what + ": " + answer.text);
}

struct DeviceNames {
  const char* harness;
  const char* driver;
};

DeviceNames Names(Device device) {
  switch (device) {
    case Device::Uart: return {"uart", "Serial8250"};
    case Device::PciCard: return {"pci", "Serial8250Pci"};
    case Device::UsbAdapter: break;
  }
  return {"usb", "FtdiSio"};
}

bool IsUsbSerialNode(const DeviceEvent& e) {
  return e.subsystem == "tty" && e.devname.rfind("ttyUSB", 0) == 0;
}

// The PCI card's port takes ttyS2 over from the placeholder the 8250 driver keeps for it.
bool IsPciCardNode(const DeviceEvent& e) {
  return e.subsystem == "tty" && e.devname == "ttyS2" && e.devpath.find("/pci") != std::string::npos;
}

std::optional<std::string> PresentUsbSerialNode() {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/sys/bus/usb-serial/devices", error))
    return "/dev/" + entry.path().filename().string();
  return std::nullopt;
}

}  // namespace

const char* HarnessName(Device device) { return Names(device).harness; }
const char* DriverName(Device device) { return Names(device).driver; }

void PrintTo(Device device, std::ostream* out) { *out << DriverName(device); }

std::string DevicePath(Device device) {
  switch (device) {
    case Device::Uart: return "/dev/ttyS1";
    case Device::PciCard: return "/dev/ttyS2";
    case Device::UsbAdapter: break;
  }
  DeviceEvents events;  // before looking, so an adapter arriving meanwhile is not missed
  if (auto present = PresentUsbSerialNode()) return *present;
  if (auto added = events.WaitFor([](const DeviceEvent& e) { return e.action == "add" && IsUsbSerialNode(e); },
                                  ArrivalPatience))
    return "/dev/" + added->devname;
  throw std::runtime_error("the USB serial adapter did not come up");
}

std::string FarEnd::Take(std::size_t count, milliseconds limit) {
  const Answer answer = Ask("take", device_, std::to_string(count) + " " + std::to_string(limit.count()), limit);
  // A short answer carries what did arrive after its last colon.
  const std::string hex = answer.ok ? answer.text : answer.text.substr(answer.text.find_last_of(':') + 1);
  const std::size_t start = hex.find_first_not_of(' ');
  const auto bytes = FromHex(start == std::string::npos ? "" : hex.substr(start));
  if (!bytes) throw std::runtime_error("the harness answered a take with " + answer.text);
  return *bytes;
}

std::size_t FarEnd::Drop(std::size_t count, milliseconds limit) {
  const Answer answer = Ask("drop", device_, std::to_string(count) + " " + std::to_string(limit.count()), limit);
  return std::stoul(answer.ok ? answer.text : answer.text.substr(answer.text.find_last_of(':') + 1));
}

void FarEnd::Skip() { Expect(Ask("skip", device_), "skip"); }

std::size_t FarEnd::Count() {
  const Answer answer = Ask("count", device_);
  Expect(answer, "count");
  return std::stoul(answer.text);
}

void FarEnd::Send(const std::string& bytes) { Expect(Ask("send", device_, ToHex(bytes)), "send"); }
void FarEnd::SendBreak() { Expect(Ask("break", device_), "break"); }
void FarEnd::Hold() { Expect(Ask("hold", device_), "hold"); }
void FarEnd::Release() { Expect(Ask("release", device_), "release"); }

Removal Unplug(Device device, milliseconds limit) {
  DeviceEvents events;
  const std::string node = DevicePath(device).substr(5);
  const Answer answer = Ask("unplug", device, std::to_string(limit.count()), limit);
  if (!answer.ok) return {false, answer.text};
  // QEMU lets a USB device go at once; the guest's kernel then removes the adapter's tty.
  if (device != Device::UsbAdapter) return {true, answer.text};
  std::string seen;
  const auto removed = events.WaitFor(
      [&](const DeviceEvent& e) {
        if (e.subsystem == "tty" || e.subsystem == "usb-serial") seen += " " + e.action + " " + e.devpath + ";";
        return e.action == "remove" && e.subsystem == "tty" && e.devname == node;
      },
      limit);
  if (removed) return {true, answer.text};
  return {false, "the kernel did not remove " + node + " within " + std::to_string(limit.count()) +
                     " ms (its events meanwhile:" + (seen.empty() ? " none" : seen) + ")"};
}

std::string Replug(Device device) {
  DeviceEvents events;
  Expect(Ask("plug", device), "plug");
  const auto added = events.WaitFor(
      [&](const DeviceEvent& e) { return e.action == "add" && (device == Device::UsbAdapter ? IsUsbSerialNode(e) : IsPciCardNode(e)); },
      ArrivalPatience);
  if (!added) throw std::runtime_error(std::string(HarnessName(device)) + " did not come back after the replug");
  return "/dev/" + added->devname;
}

}  // namespace realdrivers
