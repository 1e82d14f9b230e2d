// The port's line settings on the kernel's own serial drivers, read back from the driver
// through a descriptor of the test's own: what the port sets is what the driver took, and what
// the driver cannot make is refused as Windows refuses it, leaving the line as it was.
#include <gtest/gtest.h>
#include <termios.h>

#include <memory>
#include <vector>

#include "serial/CPort.h"
#include "tests/realdrivers/guest/DeviceParams.h"
#include "tests/realdrivers/guest/DriverView.h"
#include "tests/serial/SerialTestSupport.h"

namespace {

using namespace realdrivers;

constexpr unsigned FramingBits = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB;

struct Framing {
  TDataBits bits;
  TParityBits parity;
  TStopBits stop;
  unsigned cflag;  // what the driver must hold afterwards
};

class LineSettingsOnRealDriversTest : public ::testing::TestWithParam<Device> {
 protected:
  void SetUp() override {
    port.SetPort(path);
    port.SetEvents({});  // settings only: no event thread
    port.OpenPort();
    view = std::make_unique<DriverView>(path);
  }
  unsigned DriverFraming() const { return view->Line().cflag & FramingBits; }
  // Through steps that are each valid on their own (1.5 stop bits need 5 data bits).
  void Apply(const Framing& f) {
    port.SetStopBits(sbOneStopBit);
    port.SetDataBits(f.bits);
    port.SetStopBits(f.stop);
    port.Parity()->SetBits(f.parity);
  }

  const std::string path = DevicePath(GetParam());
  TComPort port{nullptr};
  std::unique_ptr<DriverView> view;
};

TEST_P(LineSettingsOnRealDriversTest, DataBitsParityAndStopBitsAreTakenAsSet) {
  std::vector<Framing> cases = {
      {dbSeven, prEven, sbOneStopBit, CS7 | PARENB},
      {dbSeven, prOdd, sbTwoStopBits, CS7 | PARENB | PARODD | CSTOPB},
      {dbEight, prMark, sbOneStopBit, CS8 | PARENB | PARODD | CMSPAR},
      {dbEight, prSpace, sbTwoStopBits, CS8 | PARENB | CMSPAR | CSTOPB},
      {dbEight, prNone, sbOneStopBit, CS8},
  };
  if (GetParam() != Device::UsbAdapter) {  // an FTDI chip has only seven and eight data bits
    cases.push_back({dbSix, prOdd, sbTwoStopBits, CS6 | PARENB | PARODD | CSTOPB});
    cases.push_back({dbFive, prEven, sbOne5StopBits, CS5 | PARENB | CSTOPB});  // 1.5 stop bits
  }
  for (const Framing& f : cases) {
    SCOPED_TRACE(::testing::Message() << "data bits " << int(f.bits) + 5 << ", parity " << int(f.parity)
                                      << ", stop bits " << int(f.stop));
    ASSERT_NO_THROW(Apply(f));
    EXPECT_EQ(DriverFraming(), f.cflag);
  }
}

TEST_P(LineSettingsOnRealDriversTest, TheStandardRatesAreTakenAsSet) {
  struct Rate {
    TBaudRate rate;
    unsigned value;
  };
  std::vector<Rate> rates = {{br110, 110},     {br300, 300},     {br600, 600},     {br1200, 1200},
                             {br2400, 2400},   {br4800, 4800},   {br9600, 9600},   {br14400, 14400},
                             {br19200, 19200}, {br38400, 38400}, {br56000, 56000}, {br57600, 57600},
                             {br115200, 115200}};
  // A 16550A's clock makes nothing above 115200.
  if (GetParam() == Device::UsbAdapter) rates.insert(rates.end(), {{br128000, 128000}, {br256000, 256000}});
  for (const Rate& r : rates) {
    ASSERT_NO_THROW(port.SetBaudRate(r.rate)) << r.value;
    EXPECT_EQ(view->Line().speed, r.value);
  }
}

class RateOnUartTest : public LineSettingsOnRealDriversTest {};

// The 8250 driver answers a rate above its base silently, keeping the old one.
TEST_P(RateOnUartTest, ARateTheUartCannotMakeIsRefusedWithInvalidParameterAndTheLineStaysAsItWas) {
  port.SetBaudRate(br19200);
  port.Parity()->SetBits(prEven);
  port.FlowControl()->SetControlDTR(dtrEnable);
  port.SetCustomBaudRate(250000);  // not in use yet
  const DriverView::Settings before = view->Line();
  const int lines = view->ModemLines();
  const EComPort refused = RaisedBy([&] { port.SetBaudRate(brCustom); });
  EXPECT_EQ(refused.ErrorNumber(), CError_SetStateFailed);
  EXPECT_EQ(refused.WinErrorCode(), 87);
  EXPECT_EQ(view->Line().speed, before.speed);
  EXPECT_EQ(view->Line().cflag, before.cflag);
  EXPECT_EQ(view->ModemLines(), lines);
  EXPECT_TRUE(port.Connected());
  FarEnd far(GetParam());
  far.Skip();
  EXPECT_EQ(port.WriteText("still"), 5);
  EXPECT_EQ(far.Take(5), "still") << "the line still works";
}

class FramingOnUsbAdapterTest : public LineSettingsOnRealDriversTest {};

TEST_P(FramingOnUsbAdapterTest, TheAdapterTakesARateAboveWhatAUartMakes) {
  port.SetCustomBaudRate(250000);
  ASSERT_NO_THROW(port.SetBaudRate(brCustom));
  EXPECT_EQ(view->Line().speed, 250000u);
}

// ftdi_sio keeps the old size when asked for six data bits. (Five it takes: smartcard readers
// built on the chip use them to switch modes, while the chip itself sends eight.)
TEST_P(FramingOnUsbAdapterTest, DataBitsTheChipCannotMakeAreRefusedAndTheLineStaysAsItWas) {
  port.Parity()->SetBits(prOdd);
  const DriverView::Settings before = view->Line();
  const EComPort refused = RaisedBy([&] { port.SetDataBits(dbSix); });
  EXPECT_EQ(refused.ErrorNumber(), CError_SetStateFailed);
  EXPECT_EQ(refused.WinErrorCode(), 87);
  EXPECT_EQ(view->Line(), before);
}

INSTANTIATE_TEST_SUITE_P(RealDrivers, LineSettingsOnRealDriversTest, EveryDevice, DriverOf);
INSTANTIATE_TEST_SUITE_P(RealDrivers, RateOnUartTest, EveryUart, DriverOf);
INSTANTIATE_TEST_SUITE_P(RealDrivers, FramingOnUsbAdapterTest, ::testing::Values(Device::UsbAdapter), DriverOf);

}  // namespace
