// Opening, configuring and closing a port, over the recording fake platform.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/Application.h"
#include "serial/CPort.h"
#include "tests/support/FakePlatform.h"

namespace {

using namespace platform;
using Log = std::vector<std::string>;

class PortLifecycleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    port.SetOnBeforeOpen([this](TObject*) { events.push_back("BeforeOpen"); });
    port.SetOnAfterOpen([this](TObject*) { events.push_back("AfterOpen"); });
    port.SetOnBeforeClose([this](TObject*) { events.push_back("BeforeClose"); });
    port.SetOnAfterClose([this](TObject*) { events.push_back("AfterClose"); });
    port.SetOnCTSChange([this](TObject*, bool on) { events.push_back(on ? "CTS on" : "CTS off"); });
    port.SetOnDSRChange([this](TObject*, bool on) { events.push_back(on ? "DSR on" : "DSR off"); });
    port.SetOnRLSDChange([this](TObject*, bool on) { events.push_back(on ? "RLSD on" : "RLSD off"); });
  }
  // The device calls only; event and wait calls of transfers are left out.
  Log DeviceCalls() const {
    Log calls;
    for (const std::string& c : fake->Calls())
      if (c != "CreateEventA" && c != "WaitForSingleObject" && c != "GetOverlappedResult") calls.push_back(c);
    return calls;
  }

  fake::ScopedFakePlatform fake;
  Log events;  // outlives the port, whose destruction still reports
  TComPort port{nullptr};
};

// Without events no thread runs, so every call below comes from the opening thread in order.
TEST_F(PortLifecycleTest, OpenConfiguresTheDeviceAndReportsTheLines) {
  port.SetEvents({});
  fake->SetModemStatus(MS_CTS_ON | MS_RLSD_ON);
  port.OpenPort();
  ASSERT_TRUE(port.Connected());
  ASSERT_EQ(fake->Opens().size(), 1u);
  const fake::OpenRecord open = fake->Opens()[0];
  EXPECT_EQ(open.name, "\\\\.\\COM1");
  EXPECT_EQ(open.access, GENERIC_READ | GENERIC_WRITE);
  EXPECT_EQ(open.share, 0u);
  EXPECT_EQ(open.disposition, OPEN_EXISTING);
  EXPECT_EQ(open.flags, FILE_FLAG_OVERLAPPED);
  EXPECT_FALSE(open.securityAttributes || open.templateFile);
  EXPECT_EQ(DeviceCalls(), (Log{"CreateFileA", "SetupComm", "SetCommState", "SetCommTimeouts", "GetCommModemStatus",
                                "GetCommModemStatus", "GetCommModemStatus"}));
  EXPECT_EQ(fake->QueueSizes(), (std::vector<std::pair<DWORD, DWORD>>{{1024, 1024}}));
  ASSERT_EQ(fake->CommTimeouts().size(), 1u);
  const COMMTIMEOUTS t = fake->CommTimeouts()[0];
  EXPECT_EQ(t.ReadIntervalTimeout, 0xFFFFFFFFu);
  EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 0u);
  EXPECT_EQ(t.ReadTotalTimeoutConstant, 0u);
  EXPECT_EQ(t.WriteTotalTimeoutMultiplier, 100u);
  EXPECT_EQ(t.WriteTotalTimeoutConstant, 1000u);
  EXPECT_EQ(events, (Log{"BeforeOpen", "AfterOpen", "CTS on", "DSR off", "RLSD on"}));
  port.OpenPort();
  EXPECT_EQ(fake->CountOf("CreateFileA"), 1u) << "an open port is not opened again";
}

TEST_F(PortLifecycleTest, CloseReportsTheLinesOffWithoutAskingTheDevice) {
  port.SetEvents({});
  fake->SetModemStatus(MS_CTS_ON | MS_DSR_ON | MS_RLSD_ON);
  port.OpenPort();
  fake->ClearCalls();
  events.clear();
  port.ClosePort();
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(events, (Log{"CTS off", "DSR off", "RLSD off", "BeforeClose", "AfterClose"}));
  EXPECT_EQ(DeviceCalls(), (Log{"PurgeComm", "CloseHandle"}));
  EXPECT_EQ(fake->Purges(), std::vector<DWORD>{PURGE_TXABORT | PURGE_RXABORT});
  EXPECT_EQ(fake->OpenHandles(), 0u);
}

TEST_F(PortLifecycleTest, AMissingDeviceFailsTheOpenWithNumberOneAndItsCode) {
  fake->RemoveDevice("COM1");
  try {
    port.OpenPort();
    FAIL();
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ErrorNumber(), 1);
    EXPECT_EQ(e.WinErrorCode(), 2);
    EXPECT_STREQ(e.what(), "Unable to open com port (win error code: 2)");
  }
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(port.DeviceHandle(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(events, Log{"BeforeOpen"});
}

TEST_F(PortLifecycleTest, AFailingConfigurationClosesTheHandleAgain) {
  for (const char* call : {"SetupComm", "SetCommState", "SetCommTimeouts"}) {
    fake->FailNext(call, ERROR_INVALID_PARAMETER);
    EXPECT_THROW(port.OpenPort(), EComPort) << call;
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(fake->OpenHandles(), 0u) << call;
  }
  fake->FailNext("SetCommState", 87);
  try {
    port.OpenPort();
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ErrorNumber(), 7);
  }
}

TEST_F(PortLifecycleTest, AFailedAbortLeavesThePortOpen) {
  port.OpenPort();
  fake->FailNext("PurgeComm", ERROR_GEN_FAILURE);
  try {
    port.ClosePort();
    FAIL();
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ErrorNumber(), 5);
    EXPECT_EQ(e.WinErrorCode(), 31);
  }
  EXPECT_TRUE(port.Connected());
  port.ClosePort();
  EXPECT_FALSE(port.Connected());
}

TEST_F(PortLifecycleTest, ClosedPortsOnlyRecordAndUnchangedValuesDoNothing) {
  port.SetBaudRate(br115200);
  port.SetDataBits(dbSeven);
  port.Parity()->SetCheck(true);
  port.FlowControl()->SetFlowControl(fcHardware);
  port.Timeouts()->SetWriteTotalConstant(50);
  port.Buffer()->SetInputSize(4096);
  port.SetSyncMethod(smWindowSync);
  EXPECT_TRUE(fake->Calls().empty());
  port.SetSyncMethod(smThreadSync);
  port.OpenPort();
  fake->ClearCalls();
  port.SetBaudRate(br115200);
  port.SetDataBits(dbSeven);
  port.Parity()->SetCheck(true);
  port.Timeouts()->SetWriteTotalConstant(50);
  port.Buffer()->SetInputSize(4096);
  EXPECT_TRUE(fake->Calls().empty());
}

TEST_F(PortLifecycleTest, ChangesOnAnOpenPortGoToTheDeviceAtOnce) {
  port.OpenPort();
  fake->ClearCalls();
  port.SetStopBits(sbTwoStopBits);
  port.Timeouts()->SetReadTotalConstant(3);
  port.Buffer()->SetOutputSize(2048);
  TComParity equal;
  port.SetParity(&equal);  // always re-sent, even with equal values
  port.FlowControl()->SetFlowControl(fcCustom);
  EXPECT_EQ(DeviceCalls(), (Log{"SetCommState", "SetCommTimeouts", "SetupComm", "SetCommState", "SetCommState"}));
  EXPECT_EQ(fake->CommStates()[0].StopBits, TWOSTOPBITS);
  EXPECT_EQ(fake->CommTimeouts()[0].ReadTotalTimeoutConstant, 3u);
  EXPECT_EQ(fake->QueueSizes()[0], (std::pair<DWORD, DWORD>{1024, 2048}));
  fake->FailNext("SetCommState", 87);
  EXPECT_THROW(port.SetBaudRate(br300), EComPort);
  EXPECT_EQ(port.BaudRate(), br300) << "the component keeps the value the device refused";
  EXPECT_TRUE(port.Connected());
}

TEST_F(PortLifecycleTest, SyncMethodCannotChangeWhileOpen) {
  port.OpenPort();
  try {
    port.SetSyncMethod(smWindowSync);
    FAIL();
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ErrorNumber(), 14);
    EXPECT_EQ(e.WinErrorCode(), -1);
    EXPECT_STREQ(e.what(), "Cannot set property while connected");
  }
  EXPECT_EQ(port.SyncMethod(), smThreadSync);
}

TEST_F(PortLifecycleTest, ANewNameReopensAnOpenPort) {
  port.OpenPort();
  events.clear();
  fake->ClearCalls();
  port.SetPort("com1");
  EXPECT_TRUE(port.Connected());
  ASSERT_EQ(fake->Opens().size(), 1u);
  EXPECT_EQ(fake->Opens()[0].name, "\\\\.\\com1");
  EXPECT_EQ(events, (Log{"CTS off", "DSR off", "RLSD off", "BeforeClose", "AfterClose", "BeforeOpen", "AfterOpen",
                         "CTS off", "DSR off", "RLSD off"}));
  fake->ClearCalls();
  port.SetPort("com1");
  EXPECT_TRUE(fake->Calls().empty());
}

TEST_F(PortLifecycleTest, ConnectedWhileLoadingOpensOnlyWhenLoaded) {
  port.Loading();
  port.SetConnected(true);
  port.SetBaudRate(br57600);
  EXPECT_TRUE(fake->Calls().empty());
  port.Loaded();
  EXPECT_TRUE(port.Connected());
  ASSERT_EQ(fake->CommStates().size(), 1u);
  EXPECT_EQ(fake->CommStates()[0].BaudRate, 57600u) << "every stored setting is in before the open";
}

TEST_F(PortLifecycleTest, AFailingDeferredOpenIsReportedAndLeavesThePortClosed) {
  std::string reported;
  auto previous = Application().SetReporter([&](TObject*, std::exception_ptr e) { reported = ExceptionMessage(e); });
  fake->RemoveDevice("COM1");
  port.Loading();
  port.SetConnected(true);
  EXPECT_NO_THROW(port.Loaded());
  Application().SetReporter(previous);
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(reported, "Unable to open com port (win error code: 2)");
}

TEST_F(PortLifecycleTest, ADesignedPortNeitherOpensNorApplies) {
  port.SetDesigning(true);
  port.SetConnected(true);
  port.OpenPort();
  EXPECT_TRUE(fake->Calls().empty());
  EXPECT_TRUE(port.Connected()) << "the flag is only recorded";
}

TEST_F(PortLifecycleTest, FreeingAnOpenPortClosesItAndRaisesNothing) {
  auto* owned = new TComPort(nullptr);
  Log log;
  owned->SetOnBeforeClose([&](TObject*) { log.push_back("BeforeClose"); });
  owned->SetOnAfterClose([&](TObject*) { log.push_back("AfterClose"); });
  owned->OpenPort();
  delete owned;
  EXPECT_EQ(log, (Log{"BeforeClose", "AfterClose"}));
  EXPECT_EQ(fake->OpenHandles(), 0u);

  auto previous = Application().SetReporter([](TObject*, std::exception_ptr) {});
  owned = new TComPort(nullptr);
  owned->OpenPort();
  fake->FailNext("PurgeComm", ERROR_GEN_FAILURE);
  EXPECT_NO_THROW(delete owned);
  Application().SetReporter(previous);
  EXPECT_EQ(fake->OpenHandles(), 0u) << "the handle goes even when the close fails";
}

TEST_F(PortLifecycleTest, WithNoEventsThePortStillReportsItsLines) {
  port.SetEvents({});
  port.OpenPort();
  port.ClosePort();
  EXPECT_EQ(events, (Log{"BeforeOpen", "AfterOpen", "CTS off", "DSR off", "RLSD off", "CTS off", "DSR off",
                         "RLSD off", "BeforeClose", "AfterClose"}));
}

}  // namespace
