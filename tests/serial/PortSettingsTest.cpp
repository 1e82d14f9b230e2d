// A port's settings and the device-control block they make.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "serial/CPort.h"
#include "tests/support/FakePlatform.h"

namespace {

using namespace platform;

TEST(PortSettingsTest, ANewPortHasTheDocumentedDefaults) {
  TComPort port(nullptr);
  EXPECT_EQ(port.Port(), "COM1");
  EXPECT_EQ(port.BaudRate(), br9600);
  EXPECT_EQ(port.CustomBaudRate(), 9600);
  EXPECT_EQ(port.DataBits(), dbEight);
  EXPECT_EQ(port.StopBits(), sbOneStopBit);
  EXPECT_EQ(port.Parity()->Bits(), prNone);
  EXPECT_FALSE(port.Parity()->Check());
  EXPECT_EQ(port.FlowControl()->FlowControl(), fcNone);
  EXPECT_EQ(port.Timeouts()->ReadInterval(), -1);
  EXPECT_EQ(port.Timeouts()->WriteTotalMultiplier(), 100);
  EXPECT_EQ(port.Timeouts()->WriteTotalConstant(), 1000);
  EXPECT_EQ(port.Buffer()->InputSize(), 1024);
  EXPECT_EQ(port.Buffer()->OutputSize(), 1024);
  EXPECT_EQ(port.Events(), AllComEvents);
  EXPECT_EQ(port.SyncMethod(), smThreadSync);
  EXPECT_FALSE(port.Connected());
  EXPECT_FALSE(port.ComponentStyle().Contains(csInheritable));
  EXPECT_EQ(port.Parity()->ComPort(), &port);
}

TEST(PortSettingsTest, TheDefaultsMakeABinaryNineSixHundredEightNoneOneBlock) {
  TComPort port(nullptr);
  DCB expected{};
  expected.DCBlength = 28;
  expected.BaudRate = 9600;
  expected.Flags = 0x0001;
  expected.XonLim = expected.XoffLim = 256;
  expected.ByteSize = 8;
  expected.XonChar = 0x11;
  expected.XoffChar = 0x13;
  const DCB dcb = port.DeviceControlBlock();
  EXPECT_EQ(std::memcmp(&dcb, &expected, sizeof dcb), 0);
}

TEST(PortSettingsTest, EachLineSettingReachesItsField) {
  TComPort port(nullptr);
  port.SetBaudRate(brCustom);
  port.SetCustomBaudRate(250000);
  EXPECT_EQ(port.DeviceControlBlock().BaudRate, 250000u);
  port.SetBaudRate(br256000);
  EXPECT_EQ(port.DeviceControlBlock().BaudRate, 256000u) << "CustomBaudRate only counts for brCustom";
  const DWORD rates[] = {110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
  for (int r = br110; r <= br256000; ++r) {
    port.SetBaudRate(static_cast<TBaudRate>(r));
    EXPECT_EQ(port.DeviceControlBlock().BaudRate, rates[r - 1]);
  }
  for (int d = dbFive; d <= dbEight; ++d) {
    port.SetDataBits(static_cast<TDataBits>(d));
    EXPECT_EQ(port.DeviceControlBlock().ByteSize, 5 + d);
  }
  for (int p = prNone; p <= prSpace; ++p) {
    port.Parity()->SetBits(static_cast<TParityBits>(p));
    EXPECT_EQ(port.DeviceControlBlock().Parity, p);
  }
  for (int s = sbOneStopBit; s <= sbTwoStopBits; ++s) {
    port.SetStopBits(static_cast<TStopBits>(s));
    EXPECT_EQ(port.DeviceControlBlock().StopBits, s);
  }
  port.SetEventChar('\r');
  port.FlowControl()->SetXonChar('A');
  port.FlowControl()->SetXoffChar('B');
  const DCB dcb = port.DeviceControlBlock();
  EXPECT_EQ(dcb.EvtChar, '\r');
  EXPECT_EQ(dcb.XonChar, 'A');
  EXPECT_EQ(dcb.XoffChar, 'B');
}

TEST(PortSettingsTest, EveryFlagHasItsBit) {
  struct Case {
    std::function<void(TComPort&)> set;
    DWORD flags;
  };
  const Case cases[] = {
      {[](TComPort& p) { p.Parity()->SetCheck(true); }, 0x0002},
      {[](TComPort& p) { p.FlowControl()->SetOutCTSFlow(true); }, 0x0004},
      {[](TComPort& p) { p.FlowControl()->SetOutDSRFlow(true); }, 0x0008},
      {[](TComPort& p) { p.FlowControl()->SetControlDTR(dtrEnable); }, 0x0010},
      {[](TComPort& p) { p.FlowControl()->SetControlDTR(dtrHandshake); }, 0x0020},
      {[](TComPort& p) { p.FlowControl()->SetDSRSensitivity(true); }, 0x0040},
      {[](TComPort& p) { p.FlowControl()->SetTxContinueOnXoff(true); }, 0x0080},
      {[](TComPort& p) { p.FlowControl()->SetXonXoffOut(true); }, 0x0100},
      {[](TComPort& p) { p.FlowControl()->SetXonXoffIn(true); }, 0x0200},
      {[](TComPort& p) { p.SetDiscardNull(true); }, 0x0800},
      {[](TComPort& p) { p.FlowControl()->SetControlRTS(rtsEnable); }, 0x1000},
      {[](TComPort& p) { p.FlowControl()->SetControlRTS(rtsHandshake); }, 0x2000},
      {[](TComPort& p) { p.FlowControl()->SetControlRTS(rtsToggle); }, 0x3000},
  };
  for (const Case& c : cases) {
    TComPort port(nullptr);
    c.set(port);
    EXPECT_EQ(port.DeviceControlBlock().Flags, DCB_fBinary | c.flags);
  }
}

TEST(PortSettingsTest, ReplacementNeedsParityChecking) {
  TComPort port(nullptr);
  port.Parity()->SetReplace(true);
  port.Parity()->SetReplaceChar('?');
  EXPECT_EQ(port.DeviceControlBlock().Flags, DCB_fBinary);
  EXPECT_EQ(port.DeviceControlBlock().ErrorChar, 0);
  port.Parity()->SetCheck(true);
  EXPECT_EQ(port.DeviceControlBlock().Flags, DCB_fBinary | DCB_fParity | DCB_fErrorChar);
  EXPECT_EQ(port.DeviceControlBlock().ErrorChar, '?');
}

TEST(PortSettingsTest, TheCompositeFlowControlReadsAndWritesFourFields) {
  TComPort port(nullptr);
  TComFlowControl& flow = *port.FlowControl();
  flow.SetFlowControl(fcHardware);
  EXPECT_EQ(flow.ControlRTS(), rtsHandshake);
  EXPECT_TRUE(flow.OutCTSFlow());
  EXPECT_EQ(port.DeviceControlBlock().Flags, 0x2005u);
  flow.SetControlDTR(dtrEnable);
  EXPECT_EQ(flow.FlowControl(), fcHardware) << "DTR is not part of the reading";
  flow.SetControlRTS(rtsEnable);
  EXPECT_EQ(flow.FlowControl(), fcCustom);
  flow.SetFlowControl(fcCustom);
  EXPECT_EQ(flow.ControlRTS(), rtsEnable);
  flow.SetFlowControl(fcSoftware);
  EXPECT_TRUE(flow.XonXoffIn() && flow.XonXoffOut());
  EXPECT_EQ(flow.ControlRTS(), rtsDisable);
  EXPECT_FALSE(flow.OutCTSFlow());
  EXPECT_EQ(flow.ControlDTR(), dtrEnable) << "the other fields are never touched";
  EXPECT_EQ(flow.FlowControl(), fcSoftware);
  flow.SetXonXoffIn(false);
  EXPECT_EQ(flow.FlowControl(), fcCustom);
  flow.SetFlowControl(fcNone);
  EXPECT_EQ(flow.FlowControl(), fcNone);
}

TEST(PortSettingsTest, QueueSizesAreStoredEvenWhenPositive) {
  TComPort port(nullptr);
  TComBuffer& buffer = *port.Buffer();
  const std::pair<int, int> cases[] = {{1025, 1024}, {7, 6}, {1, 0}, {-3, -3}, {0, 0}, {6, 6}};
  for (auto [given, stored] : cases) {
    buffer.SetInputSize(given);
    EXPECT_EQ(buffer.InputSize(), stored) << given;
    buffer.SetOutputSize(given);
    EXPECT_EQ(buffer.OutputSize(), stored) << given;
  }
  buffer.SetInputSize(6);
  EXPECT_EQ(port.DeviceControlBlock().XonLim, 1);
  buffer.SetInputSize(-4);
  EXPECT_EQ(port.DeviceControlBlock().XoffLim, 0xFFFF) << "the low 16 bits of -1";
}

TEST(PortSettingsTest, AssignCopiesValuesWithoutApplyingAndRefusesOtherClasses) {
  fake::ScopedFakePlatform fake;
  TComPort source(nullptr), target(nullptr);
  source.Timeouts()->SetWriteTotalConstant(5);
  source.Parity()->SetBits(prEven);
  source.FlowControl()->SetXonChar('x');
  source.Buffer()->SetInputSize(64);
  target.Timeouts()->Assign(source.Timeouts());
  target.Parity()->Assign(source.Parity());
  target.FlowControl()->Assign(source.FlowControl());
  target.Buffer()->Assign(source.Buffer());
  EXPECT_EQ(target.Timeouts()->WriteTotalConstant(), 5);
  EXPECT_EQ(target.Parity()->Bits(), prEven);
  EXPECT_EQ(target.FlowControl()->XonChar(), 'x');
  EXPECT_EQ(target.Buffer()->InputSize(), 64);
  EXPECT_EQ(target.Parity()->ComPort(), &target) << "the owner is not copied";
  EXPECT_THROW(target.Parity()->Assign(source.Buffer()), EConvertError);
  EXPECT_TRUE(fake->Calls().empty());
}

}  // namespace
