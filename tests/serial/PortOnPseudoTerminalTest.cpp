// A port on a real pseudo-terminal: the test holds the master side as the line.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "serial/CPort.h"
#include "tests/support/PseudoTerminal.h"

namespace {

class PortOnPseudoTerminalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    port.SetPort(pty.DevicePath());
    port.OpenPort();
  }
  int ErrorOf(TComPort& other) {
    try {
      other.OpenPort();
    } catch (const EComPort& e) {
      EXPECT_EQ(e.ErrorNumber(), 1);
      return e.WinErrorCode();
    }
    return 0;
  }

  PseudoTerminal pty;
  TComPort port{nullptr};
};

TEST_F(PortOnPseudoTerminalTest, TextReachesTheLineUnchanged) {
  ASSERT_TRUE(port.Connected());
  EXPECT_EQ(port.ModemSignals(), TModemSignals{}) << "a pseudo-terminal has no modem lines";
  const std::string bytes("\x0A\x0D\xFF\x00\x11\x13", 6);
  EXPECT_EQ(port.WriteText(bytes), 6);
  EXPECT_EQ(Hex(pty.Read(6)), Hex(bytes));
}

TEST_F(PortOnPseudoTerminalTest, FastAndCustomRatesAreAccepted) {
  port.SetBaudRate(br256000);
  port.SetBaudRate(brCustom);
  port.SetCustomBaudRate(250000);
  EXPECT_EQ(port.WriteText("ok"), 2);
}

TEST_F(PortOnPseudoTerminalTest, TheDeviceIsExclusiveAndMissingDevicesAreNotFound) {
  TComPort second(nullptr);
  second.SetPort(pty.DevicePath());
  EXPECT_EQ(ErrorOf(second), 5);
  EXPECT_FALSE(second.Connected());
  TComPort missing(nullptr);
  missing.SetPort("/dev/does-not-exist");
  EXPECT_EQ(ErrorOf(missing), 2);
}

TEST_F(PortOnPseudoTerminalTest, AWriteNobodyReadsReturnsTheShorterCountWhenItsTimeOutRunsOut) {
  port.Timeouts()->SetWriteTotalMultiplier(0);
  port.Timeouts()->SetWriteTotalConstant(200);
  const std::string big(256 * 1024, 'z');
  const std::int32_t sent = port.WriteText(big);
  EXPECT_GT(sent, 0);
  EXPECT_LT(sent, static_cast<std::int32_t>(big.size()));
}

TEST_F(PortOnPseudoTerminalTest, ReceivedBytesWaitInTheInputQueue) {
  pty.Write("12345");
  std::int32_t count = 0;
  for (int i = 0; i < 200 && (count = port.InQueueCount()) < 5; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(count, 5);
  EXPECT_EQ(port.InQueueCount(), 5) << "nothing reads them";
}

TEST_F(PortOnPseudoTerminalTest, AnUnpluggedLineFailsTheNextWriteAndThePortStillCloses) {
  pty.CloseMaster();
  try {
    port.WriteText("x");
    FAIL() << "a write on a hung-up line must fail";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ErrorNumber(), 2);
  }
  EXPECT_NO_THROW(port.ClosePort());
  EXPECT_FALSE(port.Connected());
}

}  // namespace
