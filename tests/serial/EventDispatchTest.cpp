// The event thread and its hand-overs, over the recording fake platform.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "runtime/Application.h"
#include "serial/CPort.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/MainLoop.h"

namespace {

using namespace platform;

// The handlers' log, written by whichever thread the port's sync method names.
class EventLog {
 public:
  void Add(const std::string& entry) {
    std::lock_guard lock(mutex_);
    entries_.push_back(entry);
    threads_.push_back(std::this_thread::get_id());
  }
  std::vector<std::string> Entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
  }
  std::size_t Size() const { return Entries().size(); }
  std::thread::id ThreadOf(std::size_t i) const {
    std::lock_guard lock(mutex_);
    return threads_.at(i);
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> entries_;
  std::vector<std::thread::id> threads_;
};

class EventDispatchTest : public ::testing::TestWithParam<TSyncMethod> {
 protected:
  void SetUp() override {
    port.SetSyncMethod(GetParam());
    port.SetOnError([this](TObject*, TComErrors e) { log.Add("Error " + std::to_string(e.ToBits())); });
    port.SetOnRxChar([this](TObject*, std::int32_t n) { log.Add("RxChar " + std::to_string(n)); });
    port.SetOnTxEmpty([this](TObject*) { log.Add("TxEmpty"); });
    port.SetOnBreak([this](TObject*) { log.Add("Break"); });
    port.SetOnRing([this](TObject*) { log.Add("Ring"); });
    port.SetOnRxFlag([this](TObject*) { log.Add("RxFlag"); });
    port.SetOnRx80Full([this](TObject*) { log.Add("Rx80Full"); });
    port.SetOnRLSDChange([this](TObject*, bool on) {
      if (port.Connected() && ready) log.Add(on ? "RLSD on" : "RLSD off");
    });
  }
  void Open() {
    port.OpenPort();
    ready = true;
    ASSERT_TRUE(ServeUntil([&] { return fake->EventWaitPending(); }));
  }
  bool WaitForEntries(std::size_t n) { return ServeUntil([&] { return log.Size() >= n; }); }

  fake::ScopedFakePlatform fake;
  EventLog log;
  std::atomic<bool> ready{false};
  TComPort port{nullptr};
};

TEST_P(EventDispatchTest, ABatchIsHandedOverInTheFixedOrder) {
  Open();
  fake->SetErrorFlags(CE_FRAME);
  fake->SetInQueue(3);
  fake->SetModemStatus(MS_RLSD_ON);
  fake->RaiseEvents(EV_RLSD | EV_RX80FULL | EV_RXFLAG | EV_RING | EV_BREAK | EV_TXEMPTY | EV_RXCHAR | EV_ERR);
  ASSERT_TRUE(WaitForEntries(8));
  EXPECT_EQ(log.Entries(), (std::vector<std::string>{"Error 1", "RxChar 3", "TxEmpty", "Break", "Ring", "RxFlag",
                                                     "RLSD on", "Rx80Full"}));
  const bool onMain = log.ThreadOf(0) == std::this_thread::get_id();
  EXPECT_EQ(onMain, GetParam() != smNone) << "smNone runs the handlers on the event thread";
}

TEST_P(EventDispatchTest, NothingToReportFiresNothing) {
  Open();
  fake->RaiseEvents(EV_RXCHAR | EV_ERR);  // an empty queue, no pending error
  // Batches are handed over in order: once the thread waits again, the first one is through.
  ASSERT_TRUE(ServeUntil([&] {
    const auto calls = fake->AllCalls();
    return std::count(calls.begin(), calls.end(), "WaitCommEvent") >= 2 && fake->EventWaitPending();
  }));
  fake->RaiseEvents(EV_RING);
  ASSERT_TRUE(WaitForEntries(1));
  EXPECT_EQ(log.Entries(), std::vector<std::string>{"Ring"});
}

TEST_P(EventDispatchTest, ChangingEventsTakesEffectAtTheNextOpen) {
  Open();
  port.SetEvents({evRxChar});
  EXPECT_EQ(fake->CommMasks(), std::vector<DWORD>{0x05FF});
  port.ClosePort();
  port.OpenPort();
  EXPECT_EQ(fake->CommMasks(), (std::vector<DWORD>{0x05FF, 0, 0x0001}));
  port.ClosePort();
  port.SetEvents({});
  port.OpenPort();
  EXPECT_EQ(port.MonitorThread(), nullptr);
  EXPECT_EQ(fake->CommMasks().size(), 4u) << "no mask is set for an unmonitored port";
}

// Needs the event thread held in Synchronize, so thread hand-over only.
class StopRequestTest : public EventDispatchTest {};

TEST_P(StopRequestTest, AStopRequestedWhileABatchIsDeliveredWinsOverTheNextBatch) {
  Open();
  fake->SetInQueue(1);
  fake->RaiseEvents(EV_RXCHAR);
  // Wait until the batch waits for the main thread, without serving it.
  ASSERT_TRUE(platform::PollHandleSignalled(TMainThreadQueue::Instance().WakeHandle(), 5000));
  fake->RaiseEvents(EV_RING);  // completes the next wait at once
  port.ClosePort();            // its wait for the thread serves the first batch
  const auto entries = log.Entries();
  EXPECT_NE(std::find(entries.begin(), entries.end(), "RxChar 1"), entries.end());
  EXPECT_EQ(std::find(entries.begin(), entries.end(), "Ring"), entries.end());
}

TEST_P(EventDispatchTest, AFailingHandlerEndsDeliveryExceptThroughTheWindow) {
  std::atomic<int> reports{0};
  auto previous = Application().SetReporter([&](TObject*, std::exception_ptr) { ++reports; });
  port.SetOnRing([this](TObject*) {
    log.Add("Ring");
    throw std::runtime_error("handler failed");
  });
  Open();
  fake->RaiseEvents(EV_RING);
  ASSERT_TRUE(WaitForEntries(1));
  if (GetParam() == smWindowSync) {
    ASSERT_TRUE(ServeUntil([&] { return reports == 1 && fake->EventWaitPending(); }));
    fake->RaiseEvents(EV_RING);
    EXPECT_TRUE(WaitForEntries(2)) << "delivery goes on after a reported failure";
  } else {
    ASSERT_TRUE(ServeUntil([&] { return port.MonitorThread()->Finished(); }));
    EXPECT_TRUE(port.MonitorThread()->FatalException());
    EXPECT_EQ(reports, 0);
  }
  port.ClosePort();
  Application().SetReporter(previous);
  EXPECT_EQ(fake->OpenHandles(), 0u) << "the ended thread closed its events";
  EXPECT_EQ(fake->CommMasks().back(), 0u);
}

TEST_P(EventDispatchTest, AWaitThatFailsAtOnceEndsTheLoopInsteadOfSpinning) {
  fake->FailNext("WaitCommEvent", ERROR_GEN_FAILURE);
  port.OpenPort();
  ASSERT_TRUE(ServeUntil([&] { return port.MonitorThread()->Finished(); }));
  const auto calls = fake->AllCalls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "WaitForMultipleObjects"), 0);
  port.ClosePort();
  EXPECT_EQ(fake->OpenHandles(), 0u);
}

std::string SyncMethodName(const ::testing::TestParamInfo<TSyncMethod>& method) {
  const char* names[] = {"ThreadSync", "WindowSync", "None"};
  return names[method.param];
}
INSTANTIATE_TEST_SUITE_P(EverySyncMethod, EventDispatchTest, ::testing::Values(smThreadSync, smWindowSync, smNone),
                         SyncMethodName);
INSTANTIATE_TEST_SUITE_P(ThreadHandOver, StopRequestTest, ::testing::Values(smThreadSync), SyncMethodName);

TEST(EventMaskTest, EventsAndMaskBitsConvertBothWays) {
  EXPECT_EQ(EventsToMask(AllComEvents), 0x05FFu);
  EXPECT_EQ(EventsToMask({}), 0u);
  EXPECT_EQ(EventsToMask({evRxChar}), 0x0001u);
  EXPECT_EQ(EventsToMask({evRing, evRx80Full}), 0x0500u);
  EXPECT_TRUE(MaskToEvents(0x0200).Empty());
  EXPECT_TRUE(MaskToEvents(0xFFFFF800u).Empty());
  for (unsigned bits = 0; bits < 1024; ++bits) {
    const TComEvents events = TComEvents::FromBits(static_cast<std::uint16_t>(bits));
    EXPECT_EQ(MaskToEvents(EventsToMask(events)), events);
  }
}

TEST(SyncWindowProcTest, AUserMessageRunsTheNamedStepOnlyWhileConnected) {
  fake::ScopedFakePlatform fake;
  std::vector<std::string> log;
  TComPort port(nullptr);
  port.SetEvents({});
  port.SetOnRing([&](TObject*) { log.push_back("Ring"); });
  port.SetOnRLSDChange([&](TObject*, bool) { log.push_back("RLSD"); });
  TMessage ring{WM_USER + 1, 256, 0, 0}, rlsd{WM_USER + 1, 32, 0, 0}, none{WM_USER + 1, 3, 0, 0};
  port.SyncWindowProc(ring);
  EXPECT_TRUE(log.empty()) << "a closed port runs no step";
  port.OpenPort();
  log.clear();
  port.SyncWindowProc(ring);
  port.SyncWindowProc(rlsd);
  port.SyncWindowProc(none);
  EXPECT_EQ(log, (std::vector<std::string>{"Ring", "RLSD"}));
  TMessage other{0x0010, 1, 2, 99};
  port.SyncWindowProc(other);
  EXPECT_EQ(other.Result, 0) << "other messages go to the default handler";
}

}  // namespace
