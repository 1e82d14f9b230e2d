// Port events on a real pseudo-terminal, for each way of handing them to the main thread.
#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "serial/CPort.h"
#include "tests/support/MainLoop.h"
#include "tests/support/ProcessCounts.h"
#include "tests/support/PseudoTerminal.h"

namespace {

namespace fs = std::filesystem;

// Context switches of the port's threads (named com-*), a wake-up each.
long PortThreadWakeups() { return ContextSwitchesOfThreads("com-"); }

class EventsOnPseudoTerminalTest : public ::testing::TestWithParam<TSyncMethod> {
 protected:
  void SetUp() override {
    std::thread([] {}).join();  // a sanitizer's helper thread starts with the first thread
    port.SetPort(pty.DevicePath());
    port.SetSyncMethod(GetParam());
    port.SetOnRxChar([this](TObject*, std::int32_t count) {
      rxCount = count;
      rxOnMain = IsMainThread();
    });
    port.SetOnTxEmpty([this](TObject*) { ++txEmpty; });
  }
  bool Serve(const std::function<bool()>& done) { return ServeUntil(done, std::chrono::seconds(5)); }

  PseudoTerminal pty;
  std::atomic<int> rxCount{0};
  std::atomic<bool> rxOnMain{false};
  std::atomic<int> txEmpty{0};
  TComPort port{nullptr};
};

TEST_P(EventsOnPseudoTerminalTest, ReceivedBytesAreAnnouncedByCountAndStayQueued) {
  port.OpenPort();
  pty.Write("12345");
  ASSERT_TRUE(Serve([&] { return rxCount == 5; })) << "got " << rxCount;
  EXPECT_EQ(rxOnMain, GetParam() != smNone);
  EXPECT_EQ(port.InQueueCount(), 5);
}

TEST_P(EventsOnPseudoTerminalTest, AFinishedWriteAnnouncesAnEmptyOutput) {
  port.OpenPort();
  port.WriteText("x");
  EXPECT_TRUE(Serve([&] { return txEmpty >= 1; }));
  EXPECT_EQ(pty.Read(1), "x");
}

TEST_P(EventsOnPseudoTerminalTest, ClosingWhileABatchWaitsForTheMainThreadReturns) {
  port.OpenPort();
  pty.Write("a");
  if (GetParam() != smNone) {
    pollfd pfd{static_cast<int>(TMainThreadQueue::Instance().WakeHandle()), POLLIN, 0};
    ASSERT_EQ(poll(&pfd, 1, 5000), 1) << "the batch never reached the main thread";
  }
  port.ClosePort();  // must serve the waiting hand-over rather than wait for ever
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(port.MonitorThread(), nullptr);
}

TEST_P(EventsOnPseudoTerminalTest, APortWithoutEventsStartsNoThread) {
  const std::size_t before = SettledThreadCount();
  port.SetEvents({});
  port.OpenPort();
  EXPECT_EQ(port.MonitorThread(), nullptr);
  EXPECT_EQ(ThreadsSettledAt(before), before);
  pty.Write("quiet");
  EXPECT_TRUE(Serve([&] { return port.InQueueCount() == 5; })) << "received bytes are queued when asked for";
}

TEST_P(EventsOnPseudoTerminalTest, AnIdleOpenPortNeverWakes) {
  port.OpenPort();
  port.WriteText("warm");  // a little traffic first, then quiet
  pty.Read(4);
  ASSERT_TRUE(Serve([&] { return txEmpty >= 1; }));
  CheckSynchronize(100);
  const long before = PortThreadWakeups();
  ASSERT_GT(before, 0) << "the port's threads were not found";
  std::this_thread::sleep_for(std::chrono::seconds(1));
  EXPECT_EQ(PortThreadWakeups(), before) << "a port thread woke on a quiet line";
}

std::string SyncMethodName(const ::testing::TestParamInfo<TSyncMethod>& method) {
  const char* names[] = {"ThreadSync", "WindowSync", "None"};
  return names[method.param];
}
INSTANTIATE_TEST_SUITE_P(EverySyncMethod, EventsOnPseudoTerminalTest,
                         ::testing::Values(smThreadSync, smWindowSync, smNone), SyncMethodName);

}  // namespace
