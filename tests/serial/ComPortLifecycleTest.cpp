// Opening, configuring and closing a port over the fake: the calls, the events around them,
// the deferred open, the design state and destruction.
#include <algorithm>
#include <chrono>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/serial/SerialTestSupport.h"

namespace {

using namespace platform;
using Log = std::vector<std::string>;

// Handler firings and the device calls of the test's thread, in the order they happened.
class Timeline {
 public:
  explicit Timeline(fake::FakePlatform& fake) : fake_(fake) {}
  void Watch(TCustomComPort& port) {
    auto note = [this, &port](TObject* sender, const std::string& what) {
      EXPECT_EQ(sender, &port) << what;
      Note(what);
    };
    port.SetOnBeforeOpen([=](TObject* s) { note(s, "BeforeOpen"); });
    port.SetOnAfterOpen([=](TObject* s) { note(s, "AfterOpen"); });
    port.SetOnBeforeClose([=](TObject* s) { note(s, "BeforeClose"); });
    port.SetOnAfterClose([=](TObject* s) { note(s, "AfterClose"); });
    port.SetOnCTSChange([=](TObject* s, bool on) { note(s, on ? "CTS on" : "CTS off"); });
    port.SetOnDSRChange([=](TObject* s, bool on) { note(s, on ? "DSR on" : "DSR off"); });
    port.SetOnRLSDChange([=](TObject* s, bool on) { note(s, on ? "RLSD on" : "RLSD off"); });
  }
  void Note(const std::string& what) {
    CatchUp();
    entries_.push_back(what);
  }
  Log Entries() {
    CatchUp();
    return entries_;
  }
  void Clear() {
    CatchUp();
    entries_.clear();
  }

 private:
  void CatchUp() {
    static const std::set<std::string> device = {"CreateFileA",        "CloseHandle", "SetupComm",
                                                 "SetCommState",       "SetCommTimeouts", "PurgeComm",
                                                 "GetCommModemStatus", "ClearCommError"};
    const std::vector<std::string> calls = fake_.Calls();
    for (; seen_ < calls.size(); ++seen_)
      if (device.count(calls[seen_])) entries_.push_back(calls[seen_]);
  }
  fake::FakePlatform& fake_;
  std::size_t seen_ = 0;
  Log entries_;
};

class ComPortLifecycleTest : public ::testing::Test {
 protected:
  void SetUp() override { timeline.Watch(port); }
  fake::ScopedFakePlatform fake;
  Timeline timeline{*fake};  // outlives the port, whose destruction still reports
  TComPort port{nullptr};
};

TEST_F(ComPortLifecycleTest, TheDeviceIsOpenedExclusivelyForOverlappedTransfers) {
  port.OpenPort();
  ASSERT_EQ(fake->Opens().size(), 1u);
  const fake::OpenRecord open = fake->Opens()[0];
  EXPECT_EQ(open.name, "\\\\.\\COM1");
  EXPECT_EQ((std::vector<DWORD>{open.access, open.share, open.disposition, open.flags}),
            (std::vector<DWORD>{GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING, FILE_FLAG_OVERLAPPED}));
  EXPECT_FALSE(open.securityAttributes || open.templateFile);
  EXPECT_EQ(fake->QueueSizes(), (std::vector<std::pair<DWORD, DWORD>>{{1024, 1024}}));
  ASSERT_EQ(fake->CommTimeouts().size(), 1u);
  const COMMTIMEOUTS t = fake->CommTimeouts()[0];
  EXPECT_EQ((std::vector<DWORD>{t.ReadIntervalTimeout, t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant,
                                t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant}),
            (std::vector<DWORD>{0xFFFFFFFF, 0, 0, 100, 1000}));
}

// Whether or not an event thread runs, the main thread sees the same order.
class ComPortOrderTest : public ComPortLifecycleTest, public ::testing::WithParamInterface<TComEvents> {};

TEST_P(ComPortOrderTest, OpeningAndClosingFireTheirEventsAroundTheDeviceCalls) {
  port.SetEvents(GetParam());
  fake->SetModemStatus(MS_CTS_ON | MS_RLSD_ON);
  port.OpenPort();
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(port.MonitorThread() != nullptr, !GetParam().Empty());
  EXPECT_EQ(timeline.Entries(),
            (Log{"BeforeOpen", "CreateFileA", "SetupComm", "SetCommState", "SetCommTimeouts", "AfterOpen",
                 "GetCommModemStatus", "CTS on", "GetCommModemStatus", "DSR off", "GetCommModemStatus", "RLSD on"}));
  timeline.Clear();
  port.OpenPort();
  port.SetConnected(true);
  EXPECT_TRUE(timeline.Entries().empty()) << "an open port is not opened again";

  port.ClosePort();
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(port.DeviceHandle(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(port.MonitorThread(), nullptr);
  EXPECT_EQ(timeline.Entries(), (Log{"CTS off", "DSR off", "RLSD off", "BeforeClose", "PurgeComm", "CloseHandle",
                                     "AfterClose"}))
      << "the lines are reported off without reading the device";
  EXPECT_EQ(fake->Purges().front(), PURGE_TXABORT | PURGE_RXABORT);
  EXPECT_EQ(fake->OpenHandles(), 0u);
  timeline.Clear();
  port.ClosePort();
  port.SetConnected(false);
  EXPECT_TRUE(timeline.Entries().empty());
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutEvents, ComPortOrderTest, ::testing::Values(AllComEvents, TComEvents{}),
                         [](const auto& p) { return p.param.Empty() ? "NoEvents" : "AllEvents"; });

TEST_F(ComPortLifecycleTest, AMissingDeviceFailsWithNumberOneAndLeavesThePortClosed) {
  fake->RemoveDevice("COM1");
  EComPort e = RaisedBy([&] { port.SetConnected(true); });
  EXPECT_EQ(e.ErrorNumber(), 1);
  EXPECT_EQ(e.WinErrorCode(), 2);
  EXPECT_STREQ(e.what(), "Unable to open com port (win error code: 2)");
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(port.DeviceHandle(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(timeline.Entries(), (Log{"BeforeOpen", "CreateFileA"}));
}

TEST_F(ComPortLifecycleTest, AFailingConfigurationClosesTheHandleAgain) {
  const struct {
    const char* call;
    int number;
    Log calls;
  } cases[] = {
      {"SetupComm", 9, {"BeforeOpen", "CreateFileA", "SetupComm", "CloseHandle"}},
      {"SetCommState", 7, {"BeforeOpen", "CreateFileA", "SetupComm", "SetCommState", "CloseHandle"}},
      {"SetCommTimeouts", 8,
       {"BeforeOpen", "CreateFileA", "SetupComm", "SetCommState", "SetCommTimeouts", "CloseHandle"}},
  };
  for (const auto& c : cases) {
    timeline.Clear();
    fake->FailNext(c.call, ERROR_INVALID_PARAMETER);
    EComPort e = RaisedBy([&] { port.OpenPort(); });
    EXPECT_EQ(e.ErrorNumber(), c.number) << c.call;
    EXPECT_EQ(e.WinErrorCode(), 87) << c.call;
    EXPECT_FALSE(port.Connected()) << c.call;
    EXPECT_EQ(port.DeviceHandle(), INVALID_HANDLE_VALUE) << c.call;
    EXPECT_EQ(fake->OpenHandles(), 0u) << c.call;
    EXPECT_EQ(timeline.Entries(), c.calls) << "no AfterOpen after a failed " << c.call;
  }
}

TEST_F(ComPortLifecycleTest, AFailingSignalReportComesAfterTheOpen) {
  fake->FailNext("GetCommModemStatus", ERROR_GEN_FAILURE, 1);
  EXPECT_EQ(RaisedBy([&] { port.OpenPort(); }).ErrorNumber(), 11);
  EXPECT_TRUE(port.Connected());
  const Log entries = timeline.Entries();
  EXPECT_EQ(entries.back(), "GetCommModemStatus");
  EXPECT_EQ(std::count(entries.begin(), entries.end(), "AfterOpen"), 1);
}

TEST_F(ComPortLifecycleTest, AFailedAbortOrBeforeCloseHandlerLeavesThePortOpen) {
  port.OpenPort();
  timeline.Clear();
  fake->FailNext("PurgeComm", ERROR_GEN_FAILURE);
  EComPort e = RaisedBy([&] { port.ClosePort(); });
  EXPECT_EQ(e.ErrorNumber(), 5);
  EXPECT_STREQ(e.what(), "PurgeComm function failed (win error code: 31)");
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(timeline.Entries(), (Log{"CTS off", "DSR off", "RLSD off", "BeforeClose", "PurgeComm"}));

  port.SetOnBeforeClose([](TObject*) { throw std::runtime_error("not now"); });
  timeline.Clear();
  EXPECT_THROW(port.ClosePort(), std::runtime_error);
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(timeline.Entries(), (Log{"CTS off", "DSR off", "RLSD off"}));

  port.SetOnBeforeClose(nullptr);
  port.ClosePort();
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(fake->OpenHandles(), 0u);
}

TEST_F(ComPortLifecycleTest, ClosingEndsTheEventThreadEvenWhenItsStopEventCannotBeSignalled) {
  port.OpenPort();
  for (int i = 0; i < 500 && !fake->EventWaitPending(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  ASSERT_TRUE(fake->EventWaitPending());
  fake->FailNext("SetEvent", ERROR_INVALID_HANDLE);
  port.ClosePort();  // waited for ever before
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(fake->OpenHandles(), 0u);
}

TEST_F(ComPortLifecycleTest, ANewNameReopensAnOpenPortAndIsOnlyRecordedOnAClosedOne) {
  port.SetPort("COM1");
  port.SetPort("COM3");
  port.SetPort("COM1");
  EXPECT_TRUE(fake->AllCalls().empty());
  port.OpenPort();
  timeline.Clear();
  port.SetPort("com1");  // the comparison is exact: another case is another name
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(timeline.Entries(),
            (Log{"CTS off", "DSR off", "RLSD off", "BeforeClose", "PurgeComm", "CloseHandle", "AfterClose", "BeforeOpen",
                 "CreateFileA", "SetupComm", "SetCommState", "SetCommTimeouts", "AfterOpen", "GetCommModemStatus",
                 "CTS off", "GetCommModemStatus", "DSR off", "GetCommModemStatus", "RLSD off"}));
  EXPECT_EQ(fake->Opens().back().name, "\\\\.\\com1");
  timeline.Clear();
  port.SetPort("com1");
  EXPECT_TRUE(timeline.Entries().empty());

  fake->RemoveDevice("COM9");
  EXPECT_EQ(RaisedBy([&] { port.SetPort("COM9"); }).ErrorNumber(), 1);
  EXPECT_FALSE(port.Connected()) << "a name that cannot be opened leaves the port closed";
  EXPECT_EQ(port.Port(), "COM9");
}

TEST_F(ComPortLifecycleTest, ConnectedWhileLoadingOpensOnlyOnceEverythingIsLoaded) {
  port.Loading();
  port.SetConnected(true);  // stored first, before the other settings
  port.SetBaudRate(br57600);
  port.Parity()->SetBits(prEven);
  port.Timeouts()->SetWriteTotalConstant(50);
  EXPECT_TRUE(fake->AllCalls().empty());
  port.Loaded();
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(fake->CountOf("CreateFileA"), 1u);
  ASSERT_EQ(fake->CommStates().size(), 1u);
  EXPECT_EQ(fake->CommStates()[0].BaudRate, 57600u);
  EXPECT_EQ(fake->CommStates()[0].Parity, EVENPARITY);
  EXPECT_EQ(fake->CommTimeouts().at(0).WriteTotalTimeoutConstant, 50u);
}

TEST_F(ComPortLifecycleTest, AFailingDeferredOpenIsReportedAndLeavesThePortClosed) {
  const std::pair<const char*, int> cases[] = {{"CreateFileA", 1}, {"SetCommState", 7}};
  for (auto [failing, number] : cases) {
    std::vector<std::pair<TObject*, int>> reported;
    ScopedReporter reporter([&](TObject* sender, std::exception_ptr error) {
      try {
        std::rethrow_exception(error);
      } catch (const EComPort& e) {
        reported.emplace_back(sender, e.ErrorNumber());
      }
    });
    fake->FailNext(failing, ERROR_FILE_NOT_FOUND);
    port.Loading();
    port.SetConnected(true);
    EXPECT_NO_THROW(port.Loaded());
    EXPECT_FALSE(port.Connected()) << failing;
    EXPECT_EQ(fake->OpenHandles(), 0u) << failing;
    EXPECT_EQ(reported, (std::vector<std::pair<TObject*, int>>{{&port, number}})) << failing;
  }
}

TEST_F(ComPortLifecycleTest, ADesignedPortNeverTouchesTheDevice) {
  auto designChanges = [](TComPort& p) {
    p.OpenPort();
    p.SetBaudRate(br300);
    p.Parity()->SetCheck(true);
    p.FlowControl()->SetFlowControl(fcHardware);
    p.Timeouts()->SetReadInterval(0);
    p.Buffer()->SetInputSize(64);
    p.SetPort(p.Port() + "x");
    p.SetSyncMethod(p.SyncMethod() == smNone ? smThreadSync : smNone);
    p.Loading();
    p.Loaded();
    p.ClosePort();
  };
  auto* designed = new TComPort(nullptr);
  designed->SetDesigning(true);
  designed->SetConnected(true);
  EXPECT_TRUE(designed->Connected()) << "only the wish is recorded";
  designChanges(*designed);
  delete designed;
  EXPECT_TRUE(fake->AllCalls().empty()) << "not even when it is freed";

  port.OpenPort();
  fake->ClearCalls();
  port.SetDesigning(true);  // an open port taken into the designer stays as it is
  designChanges(port);
  EXPECT_TRUE(port.Connected());
  EXPECT_TRUE(fake->Calls().empty()) << "the event thread's own calls aside";
  port.SetDesigning(false);
  port.ClosePort();
  EXPECT_FALSE(port.Connected());
}

TEST_F(ComPortLifecycleTest, FreeingAnOpenPortClosesItWithItsEvents) {
  auto* owned = new TComPort(nullptr);
  timeline.Watch(*owned);
  owned->OpenPort();
  timeline.Clear();
  delete owned;
  EXPECT_EQ(timeline.Entries(),
            (Log{"CTS off", "DSR off", "RLSD off", "BeforeClose", "PurgeComm", "CloseHandle", "AfterClose"}));
  EXPECT_EQ(fake->OpenHandles(), 0u);
}

TEST_F(ComPortLifecycleTest, FreeingNeverRaisesAndAlwaysLetsGoOfTheDevice) {
  ScopedReporter quiet;
  auto* failingPurge = new TComPort(nullptr);
  failingPurge->OpenPort();
  fake->FailNext("PurgeComm", ERROR_GEN_FAILURE);
  EXPECT_NO_THROW(delete failingPurge);
  EXPECT_EQ(fake->OpenHandles(), 0u);

  auto* failingHandler = new TComPort(nullptr);
  failingHandler->SetOnBeforeClose([](TObject*) { throw std::runtime_error("handler"); });
  failingHandler->OpenPort();
  EXPECT_NO_THROW(delete failingHandler);
  EXPECT_EQ(fake->OpenHandles(), 0u);
}

// Every firing goes through the overridable Trigger operations, handler or not.
class TriggerLog : public TComPort {
 public:
  using TComPort::TComPort;
  Log log;

 protected:
  void TriggerBeforeOpen() override { Add("BeforeOpen"); }
  void TriggerAfterOpen() override { Add("AfterOpen"); }
  void TriggerBeforeClose() override { Add("BeforeClose"); }
  void TriggerAfterClose() override { Add("AfterClose"); }
  void TriggerCTSChange(bool on) override { Add(on ? "CTS on" : "CTS off"); }
  void TriggerDSRChange(bool on) override { Add(on ? "DSR on" : "DSR off"); }
  void TriggerRLSDChange(bool on) override { Add(on ? "RLSD on" : "RLSD off"); }

 private:
  void Add(const std::string& entry) { log.push_back(entry); }
};

TEST(ComPortTriggerTest, ASubclassSeesEveryLifecycleFiringWithoutHandlers) {
  fake::ScopedFakePlatform fake;
  fake->SetModemStatus(MS_DSR_ON);
  TriggerLog port(nullptr);
  port.OpenPort();
  port.ClosePort();
  EXPECT_EQ(port.log, (Log{"BeforeOpen", "AfterOpen", "CTS off", "DSR on", "RLSD off", "CTS off", "DSR off",
                           "RLSD off", "BeforeClose", "AfterClose"}));
}

}  // namespace
