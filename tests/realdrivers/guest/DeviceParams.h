// The guest's devices as test parameters, named after their kernel drivers.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/realdrivers/guest/Devices.h"

namespace realdrivers {

inline const auto EveryDevice = ::testing::Values(Device::Uart, Device::PciCard, Device::UsbAdapter);
// The two on the 8250 driver, a 16550A each.
inline const auto EveryUart = ::testing::Values(Device::Uart, Device::PciCard);
// The two that can be unplugged.
inline const auto EveryPluggableDevice = ::testing::Values(Device::PciCard, Device::UsbAdapter);

inline std::string DriverOf(const ::testing::TestParamInfo<Device>& info) { return DriverName(info.param); }

}  // namespace realdrivers
