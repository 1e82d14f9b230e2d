// Received bytes are reported even while writes keep the line busy. Every finished write
// records an output-empty event, so the event thread's next wait completes at once from the
// events recorded meanwhile; bytes that arrived meanwhile belong in that same batch, or a line
// written to without pause never reports what it receives.
#include <gtest/gtest.h>
#include <poll.h>

#include <string>
#include <vector>

#include "tests/reliability/Baseline.h"
#include "tests/reliability/HandOvers.h"

namespace {

class BusyLineEventsTest : public ::testing::TestWithParam<TSyncMethod> {
 protected:
  // Waits until a hand-over waits in the main thread's queue, without serving it.
  static bool HandOverWaits() {
    pollfd pfd{static_cast<int>(TMainThreadQueue::Instance().WakeHandle()), POLLIN, 0};
    return poll(&pfd, 1, 5000) == 1;
  }

  PseudoTerminal pty;
  Baseline baseline;
};

TEST_P(BusyLineEventsTest, BytesReceivedDuringAHandOverComeWithTheNextBatch) {
  {
    std::vector<std::string> fired;
    TComPort port(nullptr);
    port.SetPort(pty.DevicePath());
    port.SetSyncMethod(GetParam());
    port.SetOnTxEmpty([&](TObject*) { fired.push_back("TxEmpty"); });
    port.SetOnRxChar([&](TObject*, std::int32_t count) { fired.push_back("RxChar " + std::to_string(count)); });
    port.OpenPort();
    port.WriteText("1");
    ASSERT_TRUE(HandOverWaits()) << "the first write's batch never reached the main thread";
    // While that batch waits: a byte comes in, and another write finishes.
    pty.Write("r");
    port.WriteText("2");
    ASSERT_TRUE(ServeUntil([&] { return fired.size() >= 3; })) << ::testing::PrintToString(fired);
    EXPECT_EQ(fired, (std::vector<std::string>{"TxEmpty", "RxChar 1", "TxEmpty"}))
        << "the received byte waited for a quiet line";
    EXPECT_EQ(pty.Read(2), "12");
    port.ClosePort();
  }
  baseline.ExpectRestored();
}

INSTANTIATE_TEST_SUITE_P(MainThreadHandOvers, BusyLineEventsTest, MainThreadHandOverMethods, HandOverName);

}  // namespace
