// The line hung up (the pseudo-terminal's master closed, as an unplugged adapter) at each point
// of a port's and a display control's life: idle, during a write that has to wait, while the
// event thread waits for a comm event, and while an event batch waits for the main thread.
// Each ends in the port's or the control's exception or in a closed port, and afterwards the
// same objects close, open again on a new line and go away without leaving anything behind.
#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <chrono>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "display/LCDControl_COM.h"
#include "tests/reliability/Baseline.h"
#include "tests/reliability/HandOvers.h"
#include "tests/serial/SerialTestSupport.h"

namespace {

using platform::ERROR_GEN_FAILURE;

const std::string StartUp = "\xFE\xC0\x0C";
constexpr int HungUp = static_cast<int>(ERROR_GEN_FAILURE);

// True once a thread whose name starts with `prefix` runs in this process.
bool ThreadNamedRuns(const std::string& prefix) {
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    std::getline(comm, name);
    if (name.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

// Hangs the line up from another thread once a write has had to wait for it (the device's
// driver thread only starts for such a write), while the test's thread is blocked in it.
class HangUpWhenAWriteWaits {
 public:
  explicit HangUpWhenAWriteWaits(PseudoTerminal& pty)
      : thread_([this, &pty] {
          for (int i = 0; i < 1000 && !ThreadNamedRuns("com-driver"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
          sawWait_ = ThreadNamedRuns("com-driver");
          pty.CloseMaster();
        }) {}
  ~HangUpWhenAWriteWaits() {
    if (thread_.joinable()) thread_.join();
  }
  bool SawWait() {
    if (thread_.joinable()) thread_.join();
    return sawWait_;
  }

 private:
  std::atomic<bool> sawWait_{false};
  std::thread thread_;
};

class RealFaultsTest : public ::testing::Test {
 protected:
  // A control on `line`, active, with the start-up string read off the line.
  std::unique_ptr<TLCDControl_COM> ActiveDisplay(PseudoTerminal& line) {
    auto display = std::make_unique<TLCDControl_COM>(nullptr);
    display->SetPort(line.DevicePath());
    display->SetActive(true);
    EXPECT_EQ(Hex(line.Read(3)), Hex(StartUp));
    return display;
  }
  // After a fault: the control deactivates, comes back on a new line and works there.
  static void ExpectRecoversOnANewLine(TLCDControl_COM& display) {
    EXPECT_NO_THROW(display.SetActive(false));
    EXPECT_FALSE(display.GetActive());
    EXPECT_FALSE(display.ComPort()->Connected());
    PseudoTerminal fresh;
    display.SetPort(fresh.DevicePath());
    ASSERT_NO_THROW(display.SetActive(true));
    EXPECT_TRUE(display.GetActive());
    EXPECT_EQ(Hex(fresh.Read(3)), Hex(StartUp));
    display.ClearScreen();
    EXPECT_EQ(Hex(fresh.Read(2)), "FE 58");
    display.SetActive(false);
  }
  static void ExpectPortRecoversOnANewLine(TComPort& port) {
    EXPECT_NO_THROW(port.ClosePort());
    EXPECT_FALSE(port.Connected());
    PseudoTerminal fresh;
    port.SetPort(fresh.DevicePath());
    ASSERT_NO_THROW(port.OpenPort());
    EXPECT_EQ(port.WriteText("again"), 5);
    EXPECT_EQ(fresh.Read(5), "again");
    port.ClosePort();
  }

  Baseline baseline;
  PseudoTerminal pty;
};

TEST_F(RealFaultsTest, AnIdleDisplayFailsItsNextCommandAndItsRestartThenRecovers) {
  {
    auto display = ActiveDisplay(pty);
    pty.CloseMaster();
    const EComPort command = RaisedBy([&] { display->WriteAt(1, 1, "x"); });
    EXPECT_EQ(command.ErrorNumber(), 2);
    EXPECT_EQ(command.WinErrorCode(), HungUp);
    EXPECT_TRUE(display->GetActive()) << "a failed command leaves the control active";
    EXPECT_EQ(RaisedBy([&] { display->ClearScreen(); }).ErrorNumber(), 2);
    // Activating again keeps the open port and sends the start-up string, which fails: the
    // control's own exception, and the control is inactive.
    try {
      display->SetActive(true);
      ADD_FAILURE() << "the start-up string cannot reach a hung-up line";
    } catch (const EComPort& e) {
      ADD_FAILURE() << "the port's exception passed through: " << e.what();
    } catch (const Exception& e) {
      EXPECT_NE(e.Message().find("(" + pty.DevicePath() + ")!"), std::string::npos) << e.Message();
    }
    EXPECT_FALSE(display->GetActive());
    ExpectRecoversOnANewLine(*display);
  }
  baseline.ExpectRestored();
}

TEST_F(RealFaultsTest, AnIdleUnmonitoredPortFailsItsWritesAndQueriesThenRecovers) {
  {
    TComPort port(nullptr);
    port.SetEvents({});
    port.SetPort(pty.DevicePath());
    port.OpenPort();
    pty.CloseMaster();
    const EComPort write = RaisedBy([&] { port.WriteText("x"); });
    EXPECT_EQ(write.ErrorNumber(), 2);
    EXPECT_EQ(write.WinErrorCode(), HungUp);
    EXPECT_EQ(RaisedBy([&] { port.InQueueCount(); }).ErrorNumber(), 10);
    EXPECT_EQ(RaisedBy([&] { port.LineErrors(); }).ErrorNumber(), 10);
    EXPECT_EQ(RaisedBy([&] { port.ModemSignals(); }).ErrorNumber(), 11);
    EXPECT_TRUE(port.Connected());
    ExpectPortRecoversOnANewLine(port);
  }
  baseline.ExpectRestored();
}

TEST_F(RealFaultsTest, AStartedWriteThatWaitsFailsWhenTheLineHangsUp) {
  {
    TComPort port(nullptr);
    port.SetPort(pty.DevicePath());
    port.Timeouts()->SetWriteTotalMultiplier(0);
    port.Timeouts()->SetWriteTotalConstant(0);  // no time-out: only the hang-up ends it
    port.OpenPort();
    const std::string big(1 << 20, 'w');
    PPortTransfer transfer = nullptr;
    port.NewPortTransfer(transfer);
    EXPECT_EQ(port.StartWriteText(big, transfer), 0) << "a megabyte nobody reads cannot finish at once";
    pty.CloseMaster();
    const EComPort e = RaisedBy([&] { port.WaitForTransfer(transfer); });
    EXPECT_EQ(e.ErrorNumber(), 2);
    EXPECT_EQ(e.WinErrorCode(), HungUp);
    port.DisposePortTransfer(transfer);
    ExpectPortRecoversOnANewLine(port);
  }
  baseline.ExpectRestored();
}

TEST_F(RealFaultsTest, ADisplayBlockedInAWriteFailsWhenTheLineHangsUp) {
  {
    auto display = ActiveDisplay(pty);
    display->ComPort()->Timeouts()->SetWriteTotalMultiplier(0);
    display->ComPort()->Timeouts()->SetWriteTotalConstant(0);
    std::pair<int, int> failure{0, 0};
    bool sawWait = false;
    {
      HangUpWhenAWriteWaits hangUp(pty);
      // One write per character: the line fills up after some kilobytes and the next
      // character's write waits until the line is gone.
      const EComPort e = RaisedBy([&] { display->WriteAt(1, 1, std::string(1 << 20, 'w')); });
      failure = {e.ErrorNumber(), e.WinErrorCode()};
      sawWait = hangUp.SawWait();
    }
    EXPECT_TRUE(sawWait) << "the write never had to wait";
    EXPECT_EQ(failure, std::make_pair(2, HungUp));
    EXPECT_TRUE(display->GetActive());
    ExpectRecoversOnANewLine(*display);
  }
  baseline.ExpectRestored();
}

TEST_F(RealFaultsTest, TheEventThreadWaitingForAnEventEndsOnAHangUpAndThePortRecovers) {
  {
    TComPort port(nullptr);
    port.SetPort(pty.DevicePath());
    port.OpenPort();
    ASSERT_NE(port.MonitorThread(), nullptr);
    const std::size_t running = SettledThreadCount();
    pty.CloseMaster();
    // The thread notices the hang-up in its own wait and ends by itself, without spinning.
    EXPECT_EQ(ThreadsSettledAt(running - 1), running - 1);
    EXPECT_TRUE(ServeUntil([&] { return port.MonitorThread()->Finished(); }));
    EXPECT_EQ(port.MonitorThread()->FatalException(), nullptr);
    EXPECT_EQ(RaisedBy([&] { port.WriteText("x"); }).ErrorNumber(), 2);
    ExpectPortRecoversOnANewLine(port);
  }
  baseline.ExpectRestored();
}

TEST_F(RealFaultsTest, AnActiveDisplayWhoseLineHangsUpWhileItsThreadWaitsRecovers) {
  {
    auto display = ActiveDisplay(pty);
    pty.CloseMaster();
    EXPECT_TRUE(ServeUntil([&] { return display->ComPort()->MonitorThread()->Finished(); }));
    const std::uint8_t pattern[8] = {0x1F, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1F, 0x00};
    EXPECT_EQ(RaisedBy([&] { display->DefineChar(0, pattern, 7); }).ErrorNumber(), 2);
    ExpectRecoversOnANewLine(*display);
  }
  baseline.ExpectRestored();
}

// The hang-up comes while a batch of events waits for the main thread, which is busy: the
// batch is served only after the line has gone, and its device queries fail there.
class HangUpDuringHandOverTest : public RealFaultsTest, public ::testing::WithParamInterface<TSyncMethod> {};

TEST_P(HangUpDuringHandOverTest, TheBatchFailsInsideTheHandOverAndThePortRecovers) {
  {
    std::vector<std::exception_ptr> reported;
    ScopedReporter reporter([&](TObject*, std::exception_ptr e) { reported.push_back(e); });
    std::atomic<int> rxChars{0};
    TComPort port(nullptr);
    port.SetPort(pty.DevicePath());
    port.SetSyncMethod(GetParam());
    port.SetOnRxChar([&](TObject*, std::int32_t) { ++rxChars; });
    port.OpenPort();
    pty.Write("a");
    // The main thread does not serve the queue until the batch is waiting in it.
    pollfd pfd{static_cast<int>(TMainThreadQueue::Instance().WakeHandle()), POLLIN, 0};
    ASSERT_EQ(poll(&pfd, 1, 5000), 1) << "the batch never reached the main thread";
    pty.CloseMaster();
    ASSERT_TRUE(ServeUntil([&] { return port.MonitorThread()->Finished(); })) << "the event thread did not end";
    EXPECT_EQ(rxChars, 0) << "the received byte cannot be counted on a line that has gone";
    EComPort failure(0);
    if (GetParam() == smThreadSync) {
      // The failure ends the event loop and stays with the thread.
      ASSERT_NE(port.MonitorThread()->FatalException(), nullptr);
      try {
        std::rethrow_exception(port.MonitorThread()->FatalException());
      } catch (const EComPort& e) {
        failure = e;
      }
    } else {
      // Each message's failure is reported; the loop then ends at its next wait.
      EXPECT_EQ(port.MonitorThread()->FatalException(), nullptr);
      ASSERT_FALSE(reported.empty());
      try {
        std::rethrow_exception(reported.front());
      } catch (const EComPort& e) {
        failure = e;
      }
    }
    EXPECT_EQ(failure.ErrorNumber(), 10) << "the batch's device query fails";
    EXPECT_EQ(failure.WinErrorCode(), HungUp);
    ExpectPortRecoversOnANewLine(port);
  }
  baseline.ExpectRestored();
}

TEST_P(HangUpDuringHandOverTest, ClosingRightAfterTheHangUpServesTheWaitingBatchAndCloses) {
  {
    ScopedReporter quiet;
    TComPort port(nullptr);
    port.SetPort(pty.DevicePath());
    port.SetSyncMethod(GetParam());
    port.OpenPort();
    pty.Write("a");
    pollfd pfd{static_cast<int>(TMainThreadQueue::Instance().WakeHandle()), POLLIN, 0};
    ASSERT_EQ(poll(&pfd, 1, 5000), 1) << "the batch never reached the main thread";
    pty.CloseMaster();
    // The close itself serves the batch it waits for; the batch's failure ends the thread.
    EXPECT_NO_THROW(port.ClosePort());
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.MonitorThread(), nullptr);
    ExpectPortRecoversOnANewLine(port);
  }
  baseline.ExpectRestored();
}

INSTANTIATE_TEST_SUITE_P(MainThreadHandOvers, HangUpDuringHandOverTest, MainThreadHandOverMethods, HandOverName);

}  // namespace
