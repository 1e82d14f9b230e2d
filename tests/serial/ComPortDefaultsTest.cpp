// What a new port holds, and the device-control block that its settings make.
#include <functional>
#include <string>
#include <utility>

#include "tests/serial/SerialTestSupport.h"

namespace {

using namespace platform;

TEST(ComPortDefaultsTest, ANewPortIsClosedWithTheStandardSettings) {
  fake::ScopedFakePlatform fake;
  TComPort port(nullptr);
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(port.DeviceHandle(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(port.MonitorThread(), nullptr);
  EXPECT_EQ(port.Port(), "COM1");
  EXPECT_EQ(port.BaudRate(), br9600);
  EXPECT_EQ(port.CustomBaudRate(), 9600);
  EXPECT_EQ(port.DataBits(), dbEight);
  EXPECT_EQ(port.StopBits(), sbOneStopBit);
  EXPECT_FALSE(port.DiscardNull());
  EXPECT_EQ(port.EventChar(), 0);
  EXPECT_EQ(port.Events().ToBits(), 0x03FF) << "all ten events";
  EXPECT_EQ(port.SyncMethod(), smThreadSync);
  EXPECT_EQ(port.EventPriority(), tpNormal);
  EXPECT_FALSE(port.ComponentStyle().Contains(csInheritable));

  const TComParity& parity = *port.Parity();
  EXPECT_EQ(parity.Bits(), prNone);
  EXPECT_FALSE(parity.Check() || parity.Replace());
  EXPECT_EQ(parity.ReplaceChar(), 0);

  const TComFlowControl& flow = *port.FlowControl();
  EXPECT_EQ(flow.FlowControl(), fcNone);
  EXPECT_FALSE(flow.OutCTSFlow() || flow.OutDSRFlow() || flow.XonXoffOut() || flow.XonXoffIn() ||
               flow.DSRSensitivity() || flow.TxContinueOnXoff());
  EXPECT_EQ(flow.ControlDTR(), dtrDisable);
  EXPECT_EQ(flow.ControlRTS(), rtsDisable);
  EXPECT_EQ(flow.XonChar(), 0x11);
  EXPECT_EQ(flow.XoffChar(), 0x13);

  const TComTimeouts& t = *port.Timeouts();
  EXPECT_EQ(t.ReadInterval(), -1);
  EXPECT_EQ(t.ReadTotalMultiplier(), 0);
  EXPECT_EQ(t.ReadTotalConstant(), 0);
  EXPECT_EQ(t.WriteTotalMultiplier(), 100);
  EXPECT_EQ(t.WriteTotalConstant(), 1000);
  EXPECT_EQ(port.Buffer()->InputSize(), 1024);
  EXPECT_EQ(port.Buffer()->OutputSize(), 1024);

  for (const TComPortOption* option : std::initializer_list<const TComPortOption*>{
           port.Parity(), port.FlowControl(), port.Timeouts(), port.Buffer()})
    EXPECT_EQ(option->ComPort(), &port);
  EXPECT_TRUE(fake->AllCalls().empty()) << "creating a port touches no device";
}

class DeviceControlBlockTest : public OpenPortTest {};

TEST_F(DeviceControlBlockTest, TheDefaultsSendABinaryNineSixHundredEightNoneOneBlock) {
  TComPort fresh(nullptr);
  fresh.SetEvents({});
  fresh.SetPort("COM2");
  fresh.OpenPort();
  DCB expected{};
  expected.DCBlength = 28;
  expected.BaudRate = 9600;
  expected.Flags = 0x0001;
  expected.XonLim = expected.XoffLim = 256;
  expected.ByteSize = 8;
  expected.XonChar = 0x11;
  expected.XoffChar = 0x13;
  EXPECT_EQ(Bytes(Sent()), Bytes(expected));
}

TEST_F(DeviceControlBlockTest, TheRateIsTheNumberInTheNameOrTheCustomRate) {
  port.SetCustomBaudRate(250000);
  const std::pair<TBaudRate, DWORD> rates[] = {
      {brCustom, 250000}, {br110, 110},     {br300, 300},       {br600, 600},       {br1200, 1200},     {br2400, 2400},
      {br4800, 4800},     {br9600, 9600},   {br14400, 14400},   {br19200, 19200},   {br38400, 38400},   {br56000, 56000},
      {br57600, 57600},   {br115200, 115200}, {br128000, 128000}, {br256000, 256000},
  };
  for (auto [rate, bitsPerSecond] : rates) {
    port.SetBaudRate(rate);
    EXPECT_EQ(Sent().BaudRate, bitsPerSecond) << "ordinal " << int(rate);
  }
}

TEST_F(DeviceControlBlockTest, FrameSettingsMapToTheirPlatformValues) {
  for (int bits = dbFive; bits <= dbEight; ++bits) {
    port.SetDataBits(static_cast<TDataBits>(bits));
    EXPECT_EQ(Sent().ByteSize, 5 + bits);
  }
  // Downwards, so that every step is a change and is sent.
  for (int parity = prSpace; parity >= prNone; --parity) {
    port.Parity()->SetBits(static_cast<TParityBits>(parity));
    EXPECT_EQ(Sent().Parity, parity);
  }
  for (int stop = sbTwoStopBits; stop >= sbOneStopBit; --stop) {
    port.SetStopBits(static_cast<TStopBits>(stop));
    EXPECT_EQ(Sent().StopBits, stop);
  }
}

TEST_F(DeviceControlBlockTest, CharactersGoToTheirFieldsAndTheReplacementNeedsChecking) {
  port.SetEventChar('\r');
  port.FlowControl()->SetXonChar('A');
  port.FlowControl()->SetXoffChar('B');
  port.Parity()->SetReplaceChar('?');
  port.Parity()->SetReplace(true);
  DCB dcb = Sent();
  EXPECT_EQ(dcb.EvtChar, '\r');
  EXPECT_EQ(dcb.XonChar, 'A');
  EXPECT_EQ(dcb.XoffChar, 'B');
  EXPECT_EQ(dcb.ErrorChar, 0) << "Replace without Check replaces nothing";
  EXPECT_EQ(dcb.Flags, DCB_fBinary);
  port.Parity()->SetCheck(true);
  dcb = Sent();
  EXPECT_EQ(dcb.ErrorChar, '?');
  EXPECT_EQ(dcb.Flags, DCB_fBinary | DCB_fParity | DCB_fErrorChar);
}

TEST_F(DeviceControlBlockTest, EverySettingHasItsFlagBits) {
  struct Case {
    const char* setting;
    std::function<void(TComPort&)> change;
    DWORD flags;  // besides fBinary
  };
  const Case cases[] = {
      {"Check", [](TComPort& p) { p.Parity()->SetCheck(true); }, 0x0002},
      {"OutCTSFlow", [](TComPort& p) { p.FlowControl()->SetOutCTSFlow(true); }, 0x0004},
      {"OutDSRFlow", [](TComPort& p) { p.FlowControl()->SetOutDSRFlow(true); }, 0x0008},
      {"dtrEnable", [](TComPort& p) { p.FlowControl()->SetControlDTR(dtrEnable); }, 0x0010},
      {"dtrHandshake", [](TComPort& p) { p.FlowControl()->SetControlDTR(dtrHandshake); }, 0x0020},
      {"DSRSensitivity", [](TComPort& p) { p.FlowControl()->SetDSRSensitivity(true); }, 0x0040},
      {"TxContinueOnXoff", [](TComPort& p) { p.FlowControl()->SetTxContinueOnXoff(true); }, 0x0080},
      {"XonXoffOut", [](TComPort& p) { p.FlowControl()->SetXonXoffOut(true); }, 0x0100},
      {"XonXoffIn", [](TComPort& p) { p.FlowControl()->SetXonXoffIn(true); }, 0x0200},
      {"Replace alone", [](TComPort& p) { p.Parity()->SetReplace(true); }, 0x0000},
      {"DiscardNull", [](TComPort& p) { p.SetDiscardNull(true); }, 0x0800},
      {"rtsEnable", [](TComPort& p) { p.FlowControl()->SetControlRTS(rtsEnable); }, 0x1000},
      {"rtsHandshake", [](TComPort& p) { p.FlowControl()->SetControlRTS(rtsHandshake); }, 0x2000},
      {"rtsToggle", [](TComPort& p) { p.FlowControl()->SetControlRTS(rtsToggle); }, 0x3000},
      {"fcHardware", [](TComPort& p) { p.FlowControl()->SetFlowControl(fcHardware); }, 0x2004},
      {"fcSoftware", [](TComPort& p) { p.FlowControl()->SetFlowControl(fcSoftware); }, 0x0300},
  };
  for (const Case& c : cases) {
    TComPort other(nullptr);
    other.SetEvents({});
    other.SetPort("COM2");
    other.OpenPort();
    c.change(other);
    EXPECT_EQ(Sent().Flags, DCB_fBinary | c.flags) << c.setting;
  }
}

TEST_F(DeviceControlBlockTest, TheXonAndXoffLimitsAreAQuarterOfTheInputQueue) {
  const std::pair<std::int32_t, WORD> cases[] = {
      {1024, 256}, {6, 1}, {2, 0}, {-3, 0} /* toward zero */, {-4, 0xFFFF}, {0x40000, 0} /* low 16 bits */,
  };
  for (auto [inputSize, limit] : cases) {
    port.Buffer()->SetInputSize(inputSize);
    const DCB dcb = port.DeviceControlBlock();
    EXPECT_EQ(dcb.XonLim, limit) << inputSize;
    EXPECT_EQ(dcb.XoffLim, limit) << inputSize;
  }
}

}  // namespace
