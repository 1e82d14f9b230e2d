// The modem lines on the kernel's own serial drivers: DTR and RTS follow the port's control
// settings, and in a 16550's loopback the modem status the port reports follows them.
#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include <memory>

#include "serial/CPort.h"
#include "tests/realdrivers/guest/DeviceParams.h"
#include "tests/realdrivers/guest/DriverView.h"

namespace {

using namespace realdrivers;

constexpr int Out2 = 0x4000;  // TIOCM_OUT2: on a PC's UART it gates the interrupt line

class ModemLinesOnRealDriversTest : public ::testing::TestWithParam<Device> {
 protected:
  void SetUp() override {
    port.SetPort(path);
    port.SetEvents({});
    port.OpenPort();
    view = std::make_unique<DriverView>(path);
  }
  void Control(TDTRFlowControl dtr, TRTSFlowControl rts) {
    port.FlowControl()->SetControlDTR(dtr);
    port.FlowControl()->SetControlRTS(rts);
  }

  const std::string path = DevicePath(GetParam());
  TComPort port{nullptr};
  std::unique_ptr<DriverView> view;
};

TEST_P(ModemLinesOnRealDriversTest, DtrAndRtsFollowThePortsControlSettings) {
  for (TDTRFlowControl dtr : {dtrEnable, dtrDisable}) {
    for (TRTSFlowControl rts : {rtsEnable, rtsDisable}) {
      SCOPED_TRACE(::testing::Message() << "DTR " << (dtr == dtrEnable) << ", RTS " << (rts == rtsEnable));
      Control(dtr, rts);
      const int lines = view->ModemLines();
      EXPECT_EQ((lines & TIOCM_DTR) != 0, dtr == dtrEnable);
      EXPECT_EQ((lines & TIOCM_RTS) != 0, rts == rtsEnable);
      if (GetParam() != Device::UsbAdapter) {
        EXPECT_NE(lines & Out2, 0) << "the UART's interrupt line was cut off";
      }
    }
  }
}

class LoopbackOnUartTest : public ModemLinesOnRealDriversTest {
 protected:
  void TearDown() override { view->SetLoopback(false); }
};

// In loopback the 16550 feeds RTS to CTS, DTR to DSR, OUT1 to RI and OUT2 to DCD.
TEST_P(LoopbackOnUartTest, TheModemStatusThePortReportsFollowsDtrAndRts) {
  view->SetLoopback(true);
  for (TDTRFlowControl dtr : {dtrEnable, dtrDisable}) {
    for (TRTSFlowControl rts : {rtsEnable, rtsDisable}) {
      SCOPED_TRACE(::testing::Message() << "DTR " << (dtr == dtrEnable) << ", RTS " << (rts == rtsEnable));
      Control(dtr, rts);
      const TModemSignals signals = port.ModemSignals();
      EXPECT_EQ(signals.Contains(msCTS), rts == rtsEnable);
      EXPECT_EQ(signals.Contains(msDSR), dtr == dtrEnable);
      EXPECT_FALSE(signals.Contains(msRing));
      EXPECT_TRUE(signals.Contains(msRLSD));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(RealDrivers, ModemLinesOnRealDriversTest, EveryDevice, DriverOf);
INSTANTIATE_TEST_SUITE_P(RealDrivers, LoopbackOnUartTest, EveryUart, DriverOf);

}  // namespace
