// A device unplugged for one test and put back however the test ends, so the next test finds
// it in place. A removal the kernel does not complete promptly is a test failure.
#pragma once

#include <string>

#include "tests/realdrivers/guest/Devices.h"

namespace realdrivers {

class HotPlug {
 public:
  explicit HotPlug(Device device) : device_(device) {}
  ~HotPlug();
  HotPlug(const HotPlug&) = delete;
  HotPlug& operator=(const HotPlug&) = delete;

  // False when the kernel's removal was held up: the test stops there, and the device comes
  // back once whatever held it lets go.
  bool Unplug();
  // The device's node once it is back.
  std::string Replug();

 private:
  const Device device_;
  bool out_ = false;
};

}  // namespace realdrivers
