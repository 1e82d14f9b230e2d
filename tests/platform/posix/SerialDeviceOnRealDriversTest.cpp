// The Linux backend's Win32 calls on the kernel's own serial drivers, inside the bench's
// machine: a refused SetCommState changes nothing on the device, and a break sent by the far
// end completes WaitCommEvent with EV_BREAK and shows in ClearCommError as CE_BREAK.
#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include <memory>
#include <string>

#include "platform/Api.h"
#include "tests/realdrivers/guest/DeviceParams.h"
#include "tests/realdrivers/guest/DriverView.h"
#include "tests/support/LineBlock.h"

namespace {

using namespace platform;
using namespace realdrivers;

class SerialDeviceOnRealDriversTest : public ::testing::TestWithParam<Device> {
 protected:
  void SetUp() override {
    device = CreateFileA(("\\\\.\\" + path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_FLAG_OVERLAPPED, nullptr);
    ASSERT_NE(device, INVALID_HANDLE_VALUE) << GetLastError();
    view = std::make_unique<DriverView>(path);
    const DCB start = LineOf(19200, 8, NOPARITY, ONESTOPBIT, DTR_CONTROL_ENABLE, RTS_CONTROL_ENABLE);
    ASSERT_TRUE(SetCommState(device, &start)) << GetLastError();
  }
  void TearDown() override {
    if (device != INVALID_HANDLE_VALUE) CloseHandle(device);
  }
  // Everything about the line that a SetCommState may change.
  std::string LineState() const {
    const DriverView::Settings s = view->Line();
    const int lines = view->ModemLines() & (TIOCM_DTR | TIOCM_RTS);
    return "cflag " + std::to_string(s.cflag) + ", iflag " + std::to_string(s.iflag) + ", speed " +
           std::to_string(s.speed) + ", lines " + std::to_string(lines);
  }

  const std::string path = DevicePath(GetParam());
  HANDLE device = INVALID_HANDLE_VALUE;
  std::unique_ptr<DriverView> view;
};

// Every field changes at once, with one value the driver cannot make: a rate above the 16550's
// base, six data bits on an FTDI chip.
TEST_P(SerialDeviceOnRealDriversTest, ARefusedSetCommStateLeavesTheDeviceExactlyAsItWas) {
  const std::string before = LineState();
  DCB refused = GetParam() == Device::UsbAdapter
                    ? LineOf(38400, 6, EVENPARITY, TWOSTOPBITS, DTR_CONTROL_DISABLE, RTS_CONTROL_DISABLE)
                    : LineOf(250000, 7, EVENPARITY, TWOSTOPBITS, DTR_CONTROL_DISABLE, RTS_CONTROL_DISABLE);
  refused.Flags |= DCB_fOutX | DCB_fInX;
  EXPECT_FALSE(SetCommState(device, &refused));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(LineState(), before);
}

class RtsToggleOnUartTest : public SerialDeviceOnRealDriversTest {};

// A 16550 without RS-485 support cannot turn RTS around by itself.
TEST_P(RtsToggleOnUartTest, RtsToggleTheUartCannotDoIsRefusedAndLeavesTheDeviceExactlyAsItWas) {
  const std::string before = LineState();
  const DCB toggle = LineOf(38400, 7, ODDPARITY, TWOSTOPBITS, DTR_CONTROL_DISABLE, RTS_CONTROL_TOGGLE);
  EXPECT_FALSE(SetCommState(device, &toggle));
  EXPECT_NE(GetLastError(), ERROR_SUCCESS);
  EXPECT_EQ(LineState(), before);
}

class BreakOnUartTest : public SerialDeviceOnRealDriversTest {};

TEST_P(BreakOnUartTest, ABreakCompletesTheEventWaitWithEvBreakAndShowsAsCeBreak) {
  ASSERT_TRUE(SetCommMask(device, EV_BREAK | EV_RXCHAR | EV_ERR));
  OVERLAPPED overlapped{};
  overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  DWORD mask = 0;
  ASSERT_FALSE(WaitCommEvent(device, &mask, &overlapped));
  ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
  FarEnd(GetParam()).SendBreak();
  ASSERT_EQ(WaitForSingleObject(overlapped.hEvent, 5000), WAIT_OBJECT_0) << "the break completed no wait";
  DWORD unused = 0;
  EXPECT_TRUE(GetOverlappedResult(device, &overlapped, &unused, FALSE));
  EXPECT_NE(mask & EV_BREAK, 0u) << "events " << mask;
  EXPECT_EQ(mask & EV_ERR, 0u) << "a break is no framing error";
  DWORD errors = 0;
  COMSTAT stat{};
  ASSERT_TRUE(ClearCommError(device, &errors, &stat));
  EXPECT_EQ(errors, CE_BREAK);
  CloseHandle(overlapped.hEvent);
}

INSTANTIATE_TEST_SUITE_P(RealDrivers, SerialDeviceOnRealDriversTest, EveryDevice, DriverOf);
INSTANTIATE_TEST_SUITE_P(RealDrivers, RtsToggleOnUartTest, EveryUart, DriverOf);
INSTANTIATE_TEST_SUITE_P(RealDrivers, BreakOnUartTest, ::testing::Values(Device::Uart), DriverOf);

}  // namespace
