#include "tests/realdrivers/guest/HotPlug.h"

#include <gtest/gtest.h>

#include <exception>

namespace realdrivers {

HotPlug::~HotPlug() {
  if (!out_) return;
  try {
    Replug();
  } catch (const std::exception& e) {
    ADD_FAILURE() << "the device did not come back: " << e.what();
  }
}

bool HotPlug::Unplug() {
  out_ = true;
  const Removal removal = realdrivers::Unplug(device_);
  EXPECT_TRUE(removal.finished) << "the kernel's removal was held up: " << removal.detail;
  return removal.finished;
}

std::string HotPlug::Replug() {
  out_ = false;
  return realdrivers::Replug(device_);
}

}  // namespace realdrivers
