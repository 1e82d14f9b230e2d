// A port holds its device for itself on the kernel's own drivers too: a second opener, root
// included (the tests run as root), is refused with access denied.
#include <gtest/gtest.h>

#include "serial/CPort.h"
#include "tests/realdrivers/guest/DeviceParams.h"
#include "tests/serial/SerialTestSupport.h"

namespace {

using namespace realdrivers;

class ExclusiveOpenOnRealDriversTest : public ::testing::TestWithParam<Device> {};

TEST_P(ExclusiveOpenOnRealDriversTest, ASecondOpenerGetsAccessDeniedAndTheFirstKeepsTheLine) {
  const std::string path = DevicePath(GetParam());
  TComPort first(nullptr), second(nullptr);
  first.SetPort(path);
  second.SetPort(path);
  first.OpenPort();
  const EComPort refused = RaisedBy([&] { second.OpenPort(); });
  EXPECT_EQ(refused.ErrorNumber(), CError_OpenFailed);
  EXPECT_EQ(refused.WinErrorCode(), 5);
  EXPECT_FALSE(second.Connected());
  FarEnd far(GetParam());
  far.Skip();
  EXPECT_EQ(first.WriteText("mine"), 4);
  EXPECT_EQ(far.Take(4), "mine");
  first.ClosePort();
  EXPECT_NO_THROW(second.OpenPort()) << "the device is free again once the first port closes";
}

INSTANTIATE_TEST_SUITE_P(RealDrivers, ExclusiveOpenOnRealDriversTest, EveryDevice, DriverOf);

}  // namespace
