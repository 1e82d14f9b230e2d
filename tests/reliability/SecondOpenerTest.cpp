// Two processes and one line: whoever opens the device second is refused with "Unable to open
// com port" and the access-denied code, whichever process holds it, and the line is free again
// once the holder closes it or dies.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <functional>

#include "tests/reliability/Baseline.h"
#include "tests/serial/SerialTestSupport.h"

namespace {

constexpr int AccessDenied = static_cast<int>(platform::ERROR_ACCESS_DENIED);

// A child process forked while this one runs no port thread, talking over two pipes in
// 32-bit words. The child runs `body` and leaves with _exit, so none of this process's
// clean-up runs twice.
class ChildOverPipes {
 public:
  using Body = std::function<void(ChildOverPipes&)>;
  explicit ChildOverPipes(const Body& body) {
    if (pipe(down_) != 0 || pipe(up_) != 0) throw std::runtime_error("no pipes");
    pid_ = fork();
    if (pid_ == 0) {
      close(down_[1]);
      close(up_[0]);
      in_ = down_[0];
      out_ = up_[1];
      body(*this);
      _exit(0);
    }
    close(down_[0]);
    close(up_[1]);
    in_ = up_[0];
    out_ = down_[1];
  }
  ~ChildOverPipes() {
    close(in_);
    close(out_);
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      Wait();
    }
  }
  ChildOverPipes(const ChildOverPipes&) = delete;
  ChildOverPipes& operator=(const ChildOverPipes&) = delete;

  void Send(std::int32_t word) { EXPECT_EQ(write(out_, &word, sizeof word), static_cast<ssize_t>(sizeof word)); }
  // The next word, or -100 when the other side went away.
  std::int32_t Receive() {
    std::int32_t word = -100;
    return read(in_, &word, sizeof word) == static_cast<ssize_t>(sizeof word) ? word : -100;
  }
  void Kill() { kill(pid_, SIGKILL); }
  // The child's exit status, -1 when it did not exit normally.
  int Wait() {
    int status = 0;
    if (pid_ <= 0 || waitpid(pid_, &status, 0) != pid_) return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  int down_[2]{-1, -1}, up_[2]{-1, -1};
  int in_ = -1, out_ = -1;
  pid_t pid_ = -1;
};

// {number, code} of the EComPort that opening `port` raises; {0, 0} when it opens.
std::pair<std::int32_t, std::int32_t> OpenOutcome(TComPort& port) {
  try {
    port.OpenPort();
  } catch (const EComPort& e) {
    return {e.ErrorNumber(), e.WinErrorCode()};
  }
  return {0, 0};
}

// Without events the child starts no thread of its own after the fork.
void OpenWithoutEvents(TComPort& port, const std::string& path) {
  port.SetEvents({});
  port.SetPort(path);
}

class SecondOpenerTest : public ::testing::Test {
 protected:
  PseudoTerminal pty;  // the line outlives the counts' check
  Baseline baseline;
};

TEST_F(SecondOpenerTest, AChildIsRefusedTheLineThisProcessHolds) {
  {
    const std::string path = pty.DevicePath();
    ChildOverPipes child([&](ChildOverPipes& parent) {
      parent.Receive();  // once the line is held
      TComPort other(nullptr);
      OpenWithoutEvents(other, path);
      const auto [number, code] = OpenOutcome(other);
      parent.Send(number);
      parent.Send(code);
      parent.Send(other.Connected() ? 1 : 0);
    });
    TComPort port(nullptr);
    port.SetPort(path);
    port.OpenPort();
    child.Send(1);
    EXPECT_EQ(child.Receive(), 1) << "the second opener's error number";
    EXPECT_EQ(child.Receive(), AccessDenied);
    EXPECT_EQ(child.Receive(), 0) << "the refused port stays closed";
    EXPECT_EQ(child.Wait(), 0);
    EXPECT_EQ(port.WriteText("still mine"), 10);
    EXPECT_EQ(pty.Read(10), "still mine");
    port.ClosePort();
  }
  baseline.ExpectRestored();
}

TEST_F(SecondOpenerTest, ThisProcessIsRefusedTheLineAChildHoldsUntilTheChildClosesIt) {
  {
    const std::string path = pty.DevicePath();
    ChildOverPipes child([&](ChildOverPipes& parent) {
      TComPort holder(nullptr);
      OpenWithoutEvents(holder, path);
      parent.Send(OpenOutcome(holder).first);
      parent.Receive();  // until asked to let go
      holder.ClosePort();
      parent.Send(holder.Connected() ? 1 : 0);
    });
    ASSERT_EQ(child.Receive(), 0) << "the child could not open the line";
    TComPort port(nullptr);
    port.SetPort(path);
    EXPECT_EQ(OpenOutcome(port), std::make_pair(1, AccessDenied));
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.MonitorThread(), nullptr);
    child.Send(1);
    EXPECT_EQ(child.Receive(), 0);
    EXPECT_EQ(child.Wait(), 0);
    EXPECT_EQ(OpenOutcome(port), std::make_pair(0, 0)) << "a line its holder closed is free";
    port.ClosePort();
  }
  baseline.ExpectRestored();
}

TEST_F(SecondOpenerTest, ALineIsFreeAgainWhenItsHolderDiesWithoutClosingIt) {
  {
    const std::string path = pty.DevicePath();
    ChildOverPipes child([&](ChildOverPipes& parent) {
      TComPort holder(nullptr);
      OpenWithoutEvents(holder, path);
      parent.Send(OpenOutcome(holder).first);
      parent.Receive();  // killed while waiting here
    });
    ASSERT_EQ(child.Receive(), 0);
    child.Kill();
    EXPECT_EQ(child.Wait(), -1);
    TComPort port(nullptr);
    port.SetPort(path);
    EXPECT_EQ(OpenOutcome(port), std::make_pair(0, 0));
    port.ClosePort();
  }
  baseline.ExpectRestored();
}

}  // namespace
