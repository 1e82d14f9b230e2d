// Overlapped writes on the kernel's own serial drivers: a long write is handed over and goes
// on in the background, as on Windows, however fast the driver takes the first system call.
#include <gtest/gtest.h>

#include <string>

#include "platform/Api.h"
#include "serial/CPort.h"
#include "tests/realdrivers/guest/DeviceParams.h"

namespace {

using namespace realdrivers;

class TransferOnRealDriversTest : public ::testing::TestWithParam<Device> {};

// The USB adapter drains while the kernel is still taking a write, so one write(2) of a long
// string lasts as long as the transfer: the caller waits for the wire although it started an
// overlapped write. (The emulated UARTs drain about as fast, but whether the kernel finds room
// again before it gives up depends on timing there, so they are not asked.)
TEST_P(TransferOnRealDriversTest, ALongWriteIsStillUnderWayWhenItsStartReturns) {
  FarEnd far(GetParam());
  TComPort port(nullptr);
  port.SetPort(DevicePath(GetParam()));
  port.SetEvents({});
  port.Timeouts()->SetWriteTotalMultiplier(0);
  port.Timeouts()->SetWriteTotalConstant(0);
  port.OpenPort();
  far.Skip();
  const std::string big(8u << 20, 'l');  // about a second of transfer here
  PPortTransfer transfer = nullptr;
  port.NewPortTransfer(transfer);
  port.StartWriteText(big, transfer);
  EXPECT_EQ(platform::WaitForSingleObject(transfer->Overlapped.hEvent, 0), platform::WAIT_TIMEOUT)
      << big.size() << " bytes were out before StartWrite returned: the caller waited for the whole transfer";
  EXPECT_EQ(port.WaitForTransfer(transfer), static_cast<std::int32_t>(big.size()));
  port.DisposePortTransfer(transfer);
  EXPECT_EQ(far.Drop(big.size(), std::chrono::seconds(60)), big.size());
}

INSTANTIATE_TEST_SUITE_P(RealDrivers, TransferOnRealDriversTest, ::testing::Values(Device::UsbAdapter), DriverOf);

}  // namespace
