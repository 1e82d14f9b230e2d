// A port on a real pseudo-terminal through the system backend: the test holds the master side
// as the line. The port keeps its default events, so its event thread runs as in the product.
#include <gtest/gtest.h>
#include <termios.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/Api.h"
#include "serial/CPort.h"
#include "tests/support/PseudoTerminal.h"

namespace {

class ComPortOnPseudoTerminalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::Install(nullptr);
    port.SetPort(pty.DevicePath());
  }
  // The EComPort that opening `other` raises, as {number, code}.
  static std::pair<int, int> OpenFailure(TComPort& other) {
    try {
      other.OpenPort();
    } catch (const EComPort& e) {
      return {e.ErrorNumber(), e.WinErrorCode()};
    }
    return {0, 0};
  }

  PseudoTerminal pty;
  TComPort port{nullptr};
};

TEST_F(ComPortOnPseudoTerminalTest, TheDefaultsOpenAndTheLinesReadOff) {
  std::vector<std::string> signals;
  port.SetOnCTSChange([&](TObject*, bool on) { signals.push_back(on ? "CTS on" : "CTS off"); });
  port.SetOnDSRChange([&](TObject*, bool on) { signals.push_back(on ? "DSR on" : "DSR off"); });
  port.SetOnRLSDChange([&](TObject*, bool on) { signals.push_back(on ? "RLSD on" : "RLSD off"); });
  ASSERT_NO_THROW(port.OpenPort());
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(signals, (std::vector<std::string>{"CTS off", "DSR off", "RLSD off"}));
  EXPECT_TRUE(port.ModemSignals().Empty());
  EXPECT_TRUE(port.LineErrors().Empty());
  EXPECT_EQ(port.InQueueCount(), 0);
  port.ClosePort();  // while the log the handlers write to still exists
}

TEST_F(ComPortOnPseudoTerminalTest, TextReachesTheLineByteForByte) {
  port.OpenPort();
  std::string every;
  for (int b = 0; b < 256; ++b) every.push_back(static_cast<char>(b));
  EXPECT_EQ(port.WriteText(every), 256);
  EXPECT_EQ(Hex(pty.Read(every.size())), Hex(every)) << "a raw line: 0x0A, 0x0D and 0xFF pass unchanged";
  EXPECT_EQ(port.WriteText("\xFE\x47\x0A\x02"), 4);
  EXPECT_EQ(Hex(pty.Read(4)), "FE 47 0A 02");
}

TEST_F(ComPortOnPseudoTerminalTest, FastAndCustomRatesAreAccepted) {
  port.SetBaudRate(br256000);
  port.OpenPort();
  port.SetBaudRate(brCustom);
  port.SetCustomBaudRate(250000);
  EXPECT_EQ(port.WriteText("ok"), 2);
  EXPECT_EQ(pty.Read(2), "ok");
}

TEST_F(ComPortOnPseudoTerminalTest, ParityAndStopBitsReachTheDevice) {
  auto framing = [&] { return pty.DeviceControlFlags() & (PARODD | CSTOPB); };
  port.Parity()->SetBits(prOdd);
  port.SetStopBits(sbTwoStopBits);
  port.OpenPort();
  EXPECT_EQ(framing(), unsigned{PARODD | CSTOPB});
  port.Parity()->SetBits(prEven);  // an open port takes a change at once
  EXPECT_EQ(framing(), unsigned{CSTOPB});
  port.SetStopBits(sbOneStopBit);
  EXPECT_EQ(framing(), 0u);
  port.Parity()->SetBits(prMark);
  EXPECT_EQ(framing(), unsigned{PARODD}) << "mark parity is the odd bit held";
  port.Parity()->SetBits(prSpace);
  EXPECT_EQ(framing(), 0u);
}

TEST_F(ComPortOnPseudoTerminalTest, AnOpenDeviceIsBusyAndAMissingOneIsNotFound) {
  port.OpenPort();
  TComPort second(nullptr);
  second.SetPort(pty.DevicePath());
  EXPECT_EQ(OpenFailure(second), std::make_pair(1, 5));
  EXPECT_FALSE(second.Connected());
  TComPort missing(nullptr);
  missing.SetPort("/dev/does-not-exist");
  EXPECT_EQ(OpenFailure(missing), std::make_pair(1, 2));
  EXPECT_FALSE(missing.Connected());
  EXPECT_EQ(port.WriteText("still mine"), 10);
}

TEST_F(ComPortOnPseudoTerminalTest, AWriteNobodyReadsReturnsTheShorterCountWhenItsTimeOutRunsOut) {
  port.Timeouts()->SetWriteTotalMultiplier(0);
  port.Timeouts()->SetWriteTotalConstant(200);
  port.OpenPort();
  const std::string big(256 * 1024, 'z');
  std::int32_t sent = -1;
  ASSERT_NO_THROW(sent = port.WriteText(big));
  EXPECT_GT(sent, 0);
  EXPECT_LT(sent, static_cast<std::int32_t>(big.size()));
}

TEST_F(ComPortOnPseudoTerminalTest, ReceivedBytesWaitInTheInputQueue) {
  port.OpenPort();
  pty.Write("12345");
  std::int32_t count = 0;
  // The backend moves the bytes into its queue on its own thread; give it a moment.
  for (int i = 0; i < 500 && (count = port.InQueueCount()) < 5; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(count, 5);
}

TEST_F(ComPortOnPseudoTerminalTest, AfterAHangUpWritesFailAndThePortStillCloses) {
  port.OpenPort();
  pty.CloseMaster();
  try {
    port.WriteText("x");
    ADD_FAILURE() << "a write on a hung-up line must fail";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ErrorNumber(), 2);
  }
  EXPECT_NO_THROW(port.ClosePort());
  EXPECT_FALSE(port.Connected());
}

TEST_F(ComPortOnPseudoTerminalTest, AfterAHangUpAnOpenPortIsStillFreed) {
  auto* other = new TComPort(nullptr);
  other->SetPort(pty.DevicePath());
  other->OpenPort();
  pty.CloseMaster();
  EXPECT_THROW(other->WriteText("x"), EComPort);
  EXPECT_NO_THROW(delete other);
}

}  // namespace
