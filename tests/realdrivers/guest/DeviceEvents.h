// The kernel's device events (uevents) as they happen, so a test waits for a device to come or
// go without looking again and again. Events are kept from the moment the object exists: make
// it before the action whose outcome it waits for.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace realdrivers {

struct DeviceEvent {
  std::string action;  // add, remove, change, bind, ...
  std::string devpath;
  std::string subsystem;
  std::string devname;  // the node's name under /dev, where it has one
};

class DeviceEvents {
 public:
  DeviceEvents();
  ~DeviceEvents();
  DeviceEvents(const DeviceEvents&) = delete;
  DeviceEvents& operator=(const DeviceEvents&) = delete;

  // The first event from now on that `wanted` accepts; nullopt when none came within `limit`.
  std::optional<DeviceEvent> WaitFor(const std::function<bool(const DeviceEvent&)>& wanted,
                                     std::chrono::milliseconds limit);

 private:
  int fd_ = -1;
};

// The event a message from the kernel describes.
DeviceEvent ParseDeviceEvent(const std::string& message);

}  // namespace realdrivers
