// The modem-line watcher over a scripted driver: what TIOCMIWAIT answers decides whether a
// wait is taken again, the watch ends quietly, or the line has gone.
#include <gtest/gtest.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/posix/ModemWatcher.h"
#include "platform/posix/TtyDriverSeam.h"

namespace {

using namespace platform;
using namespace platform::posix;
using namespace std::chrono_literals;

// A driver whose TIOCMIWAIT gives the scripted answers in turn (an errno, or 0 after the CTS
// counter moved) and then waits as the kernel does, until a signal interrupts it.
class ScriptedDriver : public TtyDriver {
 public:
  explicit ScriptedDriver(std::deque<int> answers) : answers_(std::move(answers)) {}
  ~ScriptedDriver() override { close(never_); }

  // What the watcher reported, once `calls` waits have been asked for or the time is up.
  int WaitsAskedFor(std::size_t calls, std::chrono::milliseconds limit = 5s) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, limit, [&] { return waits_ >= calls; });
    return static_cast<int>(waits_);
  }
  void Changed(DWORD events) {
    std::lock_guard lock(mutex_);
    changes_.push_back(events);
    changed_.notify_all();
  }
  void Gone(DWORD error) {
    std::lock_guard lock(mutex_);
    gone_.push_back(error);
    changed_.notify_all();
  }
  // The reports, after waiting up to `limit` for `count` of them.
  std::vector<DWORD> Changes(std::size_t count, std::chrono::milliseconds limit = 5s) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, limit, [&] { return changes_.size() >= count; });
    return changes_;
  }
  std::vector<DWORD> Gones(std::size_t count, std::chrono::milliseconds limit = 5s) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, limit, [&] { return gone_.size() >= count; });
    return gone_;
  }

 private:
  std::optional<int> Ioctl(int, unsigned long request, void* argument) override {
    if (request == TIOCGICOUNT) {
      std::lock_guard lock(mutex_);
      *static_cast<serial_icounter_struct*>(argument) = counts_;
      return 0;
    }
    if (request != TIOCMIWAIT) return std::nullopt;
    std::optional<int> answer;
    {
      std::lock_guard lock(mutex_);
      ++waits_;
      changed_.notify_all();
      if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
        if (*answer == 0) ++counts_.cts;
      }
    }
    if (!answer) {
      pollfd forever{never_, POLLIN, 0};
      poll(&forever, 1, -1);  // only a signal ends this
      answer = EINTR;
    }
    if (*answer == 0) return 0;
    errno = *answer;
    return -1;
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<int> answers_;
  serial_icounter_struct counts_{};
  std::size_t waits_ = 0;
  std::vector<DWORD> changes_, gone_;
  const int never_ = eventfd(0, EFD_CLOEXEC);
};

// The driver in the kernel's place for as long as the test holds it.
class Installed {
 public:
  explicit Installed(std::deque<int> answers) : driver(std::make_shared<ScriptedDriver>(std::move(answers))) {
    InstallTtyDriver(driver);
  }
  ~Installed() { InstallTtyDriver(nullptr); }
  const std::shared_ptr<ScriptedDriver> driver;
};

std::unique_ptr<ModemWatcher> WatchedBy(ScriptedDriver& driver) {
  return std::make_unique<ModemWatcher>(
      -1, [&driver](DWORD events) { driver.Changed(events); }, [&driver](DWORD error) { driver.Gone(error); });
}

TEST(ModemWatcherTest, AWaitInterruptedByASignalIsWaitedAgain) {
  Installed installed({EINTR, EINTR, 0});
  ScriptedDriver& driver = *installed.driver;
  auto watcher = WatchedBy(driver);
  EXPECT_EQ(driver.Changes(1), std::vector<DWORD>{EV_CTS});
  EXPECT_EQ(driver.WaitsAskedFor(4), 4) << "after the change it waits again";
  watcher.reset();
  EXPECT_TRUE(driver.Gones(0).empty()) << "a signal is not a hang-up";
}

TEST(ModemWatcherTest, ADriverThatCannotWaitForItsLinesEndsTheWatchButNotTheLine) {
  for (int missing : {ENOTTY, EINVAL}) {
    Installed installed({missing});
    ScriptedDriver& driver = *installed.driver;
    auto watcher = WatchedBy(driver);
    EXPECT_EQ(driver.WaitsAskedFor(1), 1);
    EXPECT_TRUE(driver.Gones(1, 200ms).empty()) << missing << " is a capability the driver lacks";
    EXPECT_EQ(driver.WaitsAskedFor(2, 100ms), 1) << "nothing to wait for is not waited for again";
    watcher.reset();
    EXPECT_TRUE(driver.Changes(0).empty());
  }
}

TEST(ModemWatcherTest, AnUnpluggedAdapterEndsTheWatchAsAHangUp) {
  Installed installed({0, EIO});
  ScriptedDriver& driver = *installed.driver;
  auto watcher = WatchedBy(driver);
  EXPECT_EQ(driver.Gones(1), std::vector<DWORD>{ERROR_GEN_FAILURE});
  EXPECT_EQ(driver.Changes(1), std::vector<DWORD>{EV_CTS}) << "the change before it still counts";
  EXPECT_EQ(driver.WaitsAskedFor(3, 100ms), 2) << "a line that has gone is not waited on";
  watcher.reset();
  EXPECT_EQ(driver.Gones(1).size(), 1u);
}

}  // namespace
