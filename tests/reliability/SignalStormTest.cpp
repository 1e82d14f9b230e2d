// A host's process takes signals (a child ended, a timer ran out) at any moment, on any thread,
// and a handler installed without SA_RESTART interrupts whatever system call is waiting. Writes,
// event waits, activations and closes go on as if nothing had happened.
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <string>
#include <thread>

#include "display/LCDControl_COM.h"
#include "platform/Waker.h"
#include "runtime/MainThread.h"
#include "tests/reliability/Baseline.h"
#include "tests/reliability/LineReader.h"

namespace {

void Ignore(int) {}

// Sends SIGUSR2 to every thread of the process, again and again, for its lifetime.
class SignalStorm {
 public:
  SignalStorm() {
    struct sigaction action {};
    action.sa_handler = Ignore;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: waiting calls return EINTR
    sigaction(SIGUSR2, &action, &previous_);
    thread_ = std::thread([this] {
      sigset_t all;
      sigfillset(&all);
      pthread_sigmask(SIG_BLOCK, &all, nullptr);
      const pid_t self = static_cast<pid_t>(syscall(SYS_gettid));
      while (!stop_) {
        for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
          const pid_t tid = static_cast<pid_t>(std::stol(task.path().filename().string()));
          if (tid != self && syscall(SYS_tgkill, getpid(), tid, SIGUSR2) == 0) ++sent_;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
      }
    });
  }
  ~SignalStorm() {
    stop_ = true;
    thread_.join();
    // Every signal sent is now pending on its thread or delivered, but a thread may not have
    // taken its signal yet: under the default action it would end the process. Ignoring the
    // signal discards whatever is still pending on every thread, so the old action can return.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGUSR2, &ignore, nullptr);
    sigaction(SIGUSR2, &previous_, nullptr);
  }
  SignalStorm(const SignalStorm&) = delete;
  SignalStorm& operator=(const SignalStorm&) = delete;
  long Sent() const { return sent_; }

 private:
  struct sigaction previous_ {};
  std::atomic<bool> stop_{false};
  std::atomic<long> sent_{0};
  std::thread thread_;
};

class SignalStormTest : public ::testing::Test {
 protected:
  PseudoTerminal pty;
  Baseline baseline;
};

TEST_F(SignalStormTest, WritesThroughAMonitoredPortAreNotInterrupted) {
  {
    TComPort port(nullptr);
    port.SetPort(pty.DevicePath());
    port.OpenPort();
    std::uint64_t sent = 0;
    {
      LineReader reader(pty.MasterFd());
      SignalStorm storm;
      for (int i = 0; i < 20'000; ++i) {
        const std::string text(static_cast<std::size_t>(1 + i % 200), 'a');
        ASSERT_EQ(port.WriteText(text), static_cast<std::int32_t>(text.size())) << "write " << i;
        sent += text.size();
        if (i % 64 == 0) CheckSynchronize();
      }
      EXPECT_TRUE(ServeUntil([&] { return reader.Received() == sent; }, std::chrono::seconds(10)));
      EXPECT_GT(storm.Sent(), 0);
    }
    ASSERT_NO_THROW(port.ClosePort());
  }
  baseline.ExpectRestored();
}

TEST_F(SignalStormTest, ActivationsOfTheDisplayAreNotInterrupted) {
  {
    TLCDControl_COM display(nullptr);
    display.SetPort(pty.DevicePath());
    SignalStorm storm;
    for (int i = 0; i < 200; ++i) {
      ASSERT_NO_THROW(display.SetActive(true)) << "activation " << i;
      ASSERT_NO_THROW(display.ClearScreen()) << "activation " << i;
      ASSERT_NO_THROW(display.SetActive(false)) << "activation " << i;
    }
    EXPECT_GT(storm.Sent(), 0);
  }
  // Read once the storm is over: a signal would cut the test's own wait for the bytes short.
  std::string line;
  for (int i = 0; i < 50 && line.size() < 200 * 5; ++i) line += pty.ReadAvailable();
  EXPECT_EQ(line.size(), 200u * 5) << "start-up strings and clears";
  baseline.ExpectRestored();
}

TEST_F(SignalStormTest, ALimitedWaitForTheMainThreadsWorkEndsInItsTime) {
  // Signals come far faster than the waits' 20 ms: a wait that began afresh after each one
  // would never end. It would end once the storm is over, so the storm is given a limit.
  std::future<void> waits;
  {
    SignalStorm storm;
    waits = std::async(std::launch::async, [] {
      for (int i = 0; i < 10; ++i) {
        CheckSynchronize(20);
        platform::PollHandleSignalled(MainThreadWakeHandle(), 20);
      }
    });
    EXPECT_EQ(waits.wait_for(std::chrono::seconds(20)), std::future_status::ready)
        << "twenty waits of 20 ms each were still waiting after 20 s of signals";
    EXPECT_GT(storm.Sent(), 0);
  }
  waits.get();
}

}  // namespace
