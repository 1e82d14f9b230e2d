// The option objects and the setters: what is recorded, what reaches the device, and when.
#include <functional>
#include <string>
#include <vector>

#include "tests/serial/SerialTestSupport.h"

namespace {

using namespace platform;
using Calls = std::vector<std::string>;

TEST(ComFlowControlTest, TheCompositeReadsOnlyRtsCtsAndXonXoff) {
  struct Case {
    TRTSFlowControl rts;
    bool cts, xonXoffIn, xonXoffOut;
    TFlowControl reads;
  };
  const Case cases[] = {
      {rtsHandshake, true, false, false, fcHardware}, {rtsDisable, false, true, true, fcSoftware},
      {rtsDisable, false, false, false, fcNone},      {rtsEnable, false, false, false, fcCustom},
      {rtsToggle, false, false, false, fcCustom},     {rtsHandshake, false, false, false, fcCustom},
      {rtsDisable, true, false, false, fcCustom},     {rtsHandshake, true, true, false, fcCustom},
      {rtsDisable, false, true, false, fcCustom},     {rtsDisable, false, false, true, fcCustom},
  };
  for (const Case& c : cases) {
    for (bool dtrAndDsrSet : {false, true}) {
      TComFlowControl flow;
      flow.SetControlRTS(c.rts);
      flow.SetOutCTSFlow(c.cts);
      flow.SetXonXoffIn(c.xonXoffIn);
      flow.SetXonXoffOut(c.xonXoffOut);
      if (dtrAndDsrSet) {
        flow.SetControlDTR(dtrEnable);
        flow.SetOutDSRFlow(true);
        flow.SetDSRSensitivity(true);
      }
      EXPECT_EQ(flow.FlowControl(), c.reads) << "rts " << int(c.rts) << " cts " << c.cts << " in " << c.xonXoffIn
                                             << " out " << c.xonXoffOut << " dtr/dsr " << dtrAndDsrSet;
    }
  }
}

class ComOptionsTest : public OpenPortTest {};

TEST_F(ComOptionsTest, WritingTheCompositeSetsFourFieldsAndAlwaysResendsTheBlock) {
  TComFlowControl& flow = *port.FlowControl();
  // The six fields outside the composite, which no writing of it may touch.
  flow.SetControlDTR(dtrHandshake);
  flow.SetOutDSRFlow(true);
  flow.SetDSRSensitivity(true);
  flow.SetTxContinueOnXoff(true);
  flow.SetXonChar('a');
  flow.SetXoffChar('b');
  auto fields = [&] {
    return std::vector<int>{flow.ControlRTS(), flow.OutCTSFlow(), flow.XonXoffIn(), flow.XonXoffOut()};
  };
  std::size_t sent = fake->CommStates().size();
  auto resent = [&] { return fake->CommStates().size() == ++sent; };

  flow.SetFlowControl(fcSoftware);
  EXPECT_EQ(fields(), (std::vector<int>{rtsDisable, false, true, true}));
  EXPECT_TRUE(resent());
  flow.SetFlowControl(fcHardware);
  EXPECT_EQ(fields(), (std::vector<int>{rtsHandshake, true, false, false}));
  EXPECT_TRUE(resent());
  flow.SetFlowControl(fcNone);
  EXPECT_EQ(fields(), (std::vector<int>{rtsDisable, false, false, false}));
  EXPECT_TRUE(resent());
  flow.SetFlowControl(fcNone);
  EXPECT_TRUE(resent()) << "an unchanged composite is sent again";

  flow.SetControlRTS(rtsToggle);
  flow.SetXonXoffIn(true);
  sent = fake->CommStates().size();
  flow.SetFlowControl(fcCustom);
  EXPECT_EQ(fields(), (std::vector<int>{rtsToggle, false, true, false})) << "fcCustom changes nothing";
  EXPECT_TRUE(resent()) << "but is still sent";
  EXPECT_EQ(flow.ControlDTR(), dtrHandshake);
  EXPECT_TRUE(flow.OutDSRFlow() && flow.DSRSensitivity() && flow.TxContinueOnXoff());
  EXPECT_EQ(flow.XonChar(), 'a');
  EXPECT_EQ(flow.XoffChar(), 'b');
}

TEST(ComBufferTest, APositiveOddSizeIsStoredOneSmaller) {
  const std::pair<std::int32_t, std::int32_t> cases[] = {{1025, 1024}, {7, 6}, {1, 0}, {-3, -3}, {0, 0}, {6, 6}};
  for (auto [given, stored] : cases) {
    TComBuffer buffer;
    buffer.SetInputSize(given);
    buffer.SetOutputSize(given);
    EXPECT_EQ(buffer.InputSize(), stored) << given;
    EXPECT_EQ(buffer.OutputSize(), stored) << given;
  }
}

TEST_F(ComOptionsTest, AQueueSizeIsComparedBeforeItIsMadeEven) {
  port.Buffer()->SetInputSize(1025);  // stores 1024 again, but 1025 differs from 1024
  port.Buffer()->SetInputSize(1024);
  port.Buffer()->SetOutputSize(7);
  EXPECT_EQ(fake->QueueSizes(), (std::vector<std::pair<DWORD, DWORD>>{{1024, 1024}, {1024, 6}}));
}

TEST_F(ComOptionsTest, ThePortsOptionSettersSendACopyAndAssignAloneAppliesNothing) {
  TComPort source(nullptr);  // closed, so its setters only record
  TComTimeouts& t = *source.Timeouts();
  t.SetReadInterval(1);
  t.SetReadTotalMultiplier(2);
  t.SetReadTotalConstant(3);
  t.SetWriteTotalMultiplier(4);
  t.SetWriteTotalConstant(-2);
  TComFlowControl& f = *source.FlowControl();
  f.SetOutCTSFlow(true);
  f.SetOutDSRFlow(true);
  f.SetControlDTR(dtrEnable);
  f.SetControlRTS(rtsToggle);
  f.SetXonXoffOut(true);
  f.SetXonXoffIn(true);
  f.SetDSRSensitivity(true);
  f.SetTxContinueOnXoff(true);
  f.SetXonChar('x');
  f.SetXoffChar('y');
  TComParity& p = *source.Parity();
  p.SetBits(prMark);
  p.SetCheck(true);
  p.SetReplace(true);
  p.SetReplaceChar('?');
  source.Buffer()->SetInputSize(64);
  source.Buffer()->SetOutputSize(32);

  // The port's setters send what they copied, every field in its place.
  port.SetBuffer(source.Buffer());  // first: the block's Xon/Xoff limits come from it
  port.SetTimeouts(source.Timeouts());
  port.SetFlowControl(source.FlowControl());
  port.SetParity(source.Parity());
  EXPECT_EQ(fake->Calls(), (Calls{"SetupComm", "SetCommTimeouts", "SetCommState", "SetCommState"}));
  const COMMTIMEOUTS sent = fake->CommTimeouts().back();
  EXPECT_EQ((std::vector<DWORD>{sent.ReadIntervalTimeout, sent.ReadTotalTimeoutMultiplier, sent.ReadTotalTimeoutConstant,
                                sent.WriteTotalTimeoutMultiplier, sent.WriteTotalTimeoutConstant}),
            (std::vector<DWORD>{1, 2, 3, 4, 0xFFFFFFFE}));
  EXPECT_EQ(Bytes(Sent()), Bytes(source.DeviceControlBlock()));
  EXPECT_EQ(fake->QueueSizes().back(), (std::pair<DWORD, DWORD>{64, 32}));

  // Assign itself only copies, here back to the defaults.
  fake->ClearCalls();
  const TComPort defaults(nullptr);
  port.Timeouts()->Assign(defaults.Timeouts());
  port.FlowControl()->Assign(defaults.FlowControl());
  port.Parity()->Assign(defaults.Parity());
  port.Buffer()->Assign(defaults.Buffer());
  EXPECT_TRUE(fake->AllCalls().empty());
  EXPECT_EQ(Bytes(port.DeviceControlBlock()), Bytes(defaults.DeviceControlBlock()));
  const TComTimeouts& copied = *port.Timeouts();
  EXPECT_EQ((std::vector<int>{copied.ReadInterval(), copied.ReadTotalMultiplier(), copied.ReadTotalConstant(),
                              copied.WriteTotalMultiplier(), copied.WriteTotalConstant(), port.Buffer()->OutputSize()}),
            (std::vector<int>{-1, 0, 0, 100, 1000, 1024}));
  EXPECT_EQ(port.Parity()->ComPort(), &port) << "the owner is not copied";
}

TEST_F(ComOptionsTest, AnOptionOfAnotherClassCannotBeAssigned) {
  port.Parity()->SetBits(prOdd);
  fake->ClearCalls();
  EXPECT_THROW(port.Parity()->Assign(port.Buffer()), EConvertError);
  EXPECT_THROW(port.SetTimeouts(nullptr), EConvertError);
  EXPECT_EQ(port.Parity()->Bits(), prOdd);
  EXPECT_TRUE(fake->AllCalls().empty());
}

// Each change of a setting: recorded only while closed, sent at once while open, and (for the
// compared ones) not sent again when the same value is set a second time.
TEST(ComSettersTest, AChangeIsOnlyRecordedWhileClosedAndSentOnceWhileOpen) {
  struct Case {
    const char* setting;
    std::function<void(TComPort&)> change;
    const char* call;  // what the open port sends; nullptr: nothing
    bool compared;     // false: the setter acts even on an unchanged value
  };
  TComParity parity;
  TComFlowControl flow;
  TComTimeouts timeouts;
  TComBuffer buffer;
  const Case cases[] = {
      {"BaudRate", [](TComPort& p) { p.SetBaudRate(br115200); }, "SetCommState", true},
      {"CustomBaudRate", [](TComPort& p) { p.SetCustomBaudRate(250000); }, "SetCommState", true},
      {"DataBits", [](TComPort& p) { p.SetDataBits(dbSeven); }, "SetCommState", true},
      {"StopBits", [](TComPort& p) { p.SetStopBits(sbTwoStopBits); }, "SetCommState", true},
      {"DiscardNull", [](TComPort& p) { p.SetDiscardNull(true); }, "SetCommState", true},
      {"EventChar", [](TComPort& p) { p.SetEventChar('\n'); }, "SetCommState", true},
      {"Parity.Bits", [](TComPort& p) { p.Parity()->SetBits(prEven); }, "SetCommState", true},
      {"Parity.Check", [](TComPort& p) { p.Parity()->SetCheck(true); }, "SetCommState", true},
      {"Parity.Replace", [](TComPort& p) { p.Parity()->SetReplace(true); }, "SetCommState", true},
      {"Parity.ReplaceChar", [](TComPort& p) { p.Parity()->SetReplaceChar('?'); }, "SetCommState", true},
      {"OutCTSFlow", [](TComPort& p) { p.FlowControl()->SetOutCTSFlow(true); }, "SetCommState", true},
      {"OutDSRFlow", [](TComPort& p) { p.FlowControl()->SetOutDSRFlow(true); }, "SetCommState", true},
      {"ControlDTR", [](TComPort& p) { p.FlowControl()->SetControlDTR(dtrEnable); }, "SetCommState", true},
      {"ControlRTS", [](TComPort& p) { p.FlowControl()->SetControlRTS(rtsEnable); }, "SetCommState", true},
      {"XonXoffOut", [](TComPort& p) { p.FlowControl()->SetXonXoffOut(true); }, "SetCommState", true},
      {"XonXoffIn", [](TComPort& p) { p.FlowControl()->SetXonXoffIn(true); }, "SetCommState", true},
      {"DSRSensitivity", [](TComPort& p) { p.FlowControl()->SetDSRSensitivity(true); }, "SetCommState", true},
      {"TxContinueOnXoff", [](TComPort& p) { p.FlowControl()->SetTxContinueOnXoff(true); }, "SetCommState", true},
      {"XonChar", [](TComPort& p) { p.FlowControl()->SetXonChar('A'); }, "SetCommState", true},
      {"XoffChar", [](TComPort& p) { p.FlowControl()->SetXoffChar('B'); }, "SetCommState", true},
      {"ReadInterval", [](TComPort& p) { p.Timeouts()->SetReadInterval(5); }, "SetCommTimeouts", true},
      {"ReadTotalMultiplier", [](TComPort& p) { p.Timeouts()->SetReadTotalMultiplier(5); }, "SetCommTimeouts", true},
      {"ReadTotalConstant", [](TComPort& p) { p.Timeouts()->SetReadTotalConstant(5); }, "SetCommTimeouts", true},
      {"WriteTotalMultiplier", [](TComPort& p) { p.Timeouts()->SetWriteTotalMultiplier(5); }, "SetCommTimeouts", true},
      {"WriteTotalConstant", [](TComPort& p) { p.Timeouts()->SetWriteTotalConstant(5); }, "SetCommTimeouts", true},
      {"InputSize", [](TComPort& p) { p.Buffer()->SetInputSize(4096); }, "SetupComm", true},
      {"OutputSize", [](TComPort& p) { p.Buffer()->SetOutputSize(4096); }, "SetupComm", true},
      {"Events", [](TComPort& p) { p.SetEvents({evRxChar}); }, nullptr, true},
      {"FlowControl", [](TComPort& p) { p.FlowControl()->SetFlowControl(fcCustom); }, "SetCommState", false},
      {"Parity object", [&](TComPort& p) { p.SetParity(&parity); }, "SetCommState", false},
      {"FlowControl object", [&](TComPort& p) { p.SetFlowControl(&flow); }, "SetCommState", false},
      {"Timeouts object", [&](TComPort& p) { p.SetTimeouts(&timeouts); }, "SetCommTimeouts", false},
      {"Buffer object", [&](TComPort& p) { p.SetBuffer(&buffer); }, "SetupComm", false},
  };
  fake::ScopedFakePlatform fake;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.setting);
    const Calls sends = c.call ? Calls{c.call} : Calls{};
    TComPort closed(nullptr);
    c.change(closed);
    EXPECT_TRUE(fake->AllCalls().empty());

    TComPort open(nullptr);
    open.SetEvents({});
    open.OpenPort();
    fake->ClearCalls();
    c.change(open);
    EXPECT_EQ(fake->AllCalls(), sends);
    fake->ClearCalls();
    c.change(open);
    EXPECT_EQ(fake->AllCalls(), c.compared ? Calls{} : sends);
    open.ClosePort();
    fake->ClearCalls();
  }
}

TEST_F(ComOptionsTest, AFailedApplyKeepsTheNewValueAndThePortOpen) {
  fake->FailNext("SetCommState", ERROR_INVALID_PARAMETER);
  EComPort e = RaisedBy([&] { port.SetBaudRate(br300); });
  EXPECT_EQ(e.ErrorNumber(), 7);
  EXPECT_EQ(e.WinErrorCode(), 87);
  EXPECT_EQ(port.BaudRate(), br300);
  fake->FailNext("SetCommTimeouts", ERROR_GEN_FAILURE);
  EXPECT_EQ(RaisedBy([&] { port.Timeouts()->SetReadInterval(0); }).ErrorNumber(), 8);
  fake->FailNext("SetupComm", ERROR_GEN_FAILURE);
  EXPECT_EQ(RaisedBy([&] { port.Buffer()->SetInputSize(64); }).ErrorNumber(), 9);
  EXPECT_EQ(port.Buffer()->InputSize(), 64);
  EXPECT_TRUE(port.Connected());
}

TEST(ComSyncMethodTest, ChangesOnlyWhileClosed) {
  fake::ScopedFakePlatform fake;
  TComPort port(nullptr);
  port.SetEvents({});
  port.SetSyncMethod(smNone);
  EXPECT_EQ(port.SyncMethod(), smNone);
  port.OpenPort();
  EComPort e = RaisedBy([&] { port.SetSyncMethod(smWindowSync); });
  EXPECT_EQ(e.ErrorNumber(), 14);
  EXPECT_EQ(e.WinErrorCode(), -1);
  EXPECT_STREQ(e.what(), "Cannot set property while connected");
  EXPECT_EQ(port.SyncMethod(), smNone);
  EXPECT_NO_THROW(port.SetSyncMethod(smNone)) << "an unchanged value is no change";
  port.ClosePort();
  port.SetSyncMethod(smWindowSync);
  EXPECT_EQ(port.SyncMethod(), smWindowSync);
}

}  // namespace
