// The port on each kernel driver users have, emulated over a real pseudo-terminal whose data
// still flows: what the driver answers (or lacks) decides which events and errors the port can
// report, but never whether the line works.
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "serial/CPort.h"
#include "tests/reliability/Baseline.h"
#include "tests/support/EmulatedDriver.h"

namespace {

using namespace std::chrono_literals;

// Context switches of the port's threads (named com-*), a wake-up each.
long PortThreadWakeups() { return ContextSwitchesOfThreads("com-"); }

class ComPortOnEveryDriverTest : public ::testing::TestWithParam<DriverProfile> {
 protected:
  void SetUp() override { port.SetPort(pty.DevicePath()); }
  // The EComPort that `action` raised, as {number, code}.
  static std::pair<int, int> Raised(const std::function<void()>& action) {
    try {
      action();
    } catch (const EComPort& e) {
      return {e.ErrorNumber(), e.WinErrorCode()};
    }
    return {0, 0};
  }

  Baseline baseline;
  PseudoTerminal pty;
  InstalledDriver driver{GetParam(), pty};
  TComPort port{nullptr};
};

TEST_P(ComPortOnEveryDriverTest, TextFlowsAndDtrAndRtsFollowTheControlSettings) {
  port.OpenPort();
  std::string every;
  for (int b = 0; b < 256; ++b) every.push_back(static_cast<char>(b));
  EXPECT_EQ(port.WriteText(every), 256);
  EXPECT_EQ(Hex(pty.Read(every.size())), Hex(every));
  EXPECT_EQ(driver->OutputLines(), 0) << "both lines are off by default";
  port.FlowControl()->SetControlDTR(dtrEnable);
  EXPECT_EQ(driver->OutputLines(), TIOCM_DTR);
  port.FlowControl()->SetControlRTS(rtsEnable);
  EXPECT_EQ(driver->OutputLines(), TIOCM_DTR | TIOCM_RTS);
  port.FlowControl()->SetControlDTR(dtrDisable);
  EXPECT_EQ(driver->OutputLines(), TIOCM_RTS);
  port.FlowControl()->SetControlRTS(rtsHandshake);  // the driver's own: the port leaves RTS alone
  EXPECT_EQ(driver->OutputLines(), TIOCM_RTS);
  EXPECT_EQ(port.WriteText("ok"), 2);
  EXPECT_EQ(pty.Read(2), "ok");
}

TEST_P(ComPortOnEveryDriverTest, FramingIsTakenAndARateTheDriverCannotMakeIsRefusedLeavingTheLineAsItWas) {
  port.SetDataBits(dbSeven);
  port.Parity()->SetBits(prOdd);
  port.SetStopBits(sbTwoStopBits);
  port.SetBaudRate(br115200);
  port.OpenPort();
  const unsigned sevenOddTwo = CS7 | PARENB | PARODD | CSTOPB;
  EXPECT_EQ(driver->TakenControlFlags(), sevenOddTwo);
  EXPECT_EQ(driver->TakenSpeed(), 115200u);
  port.Parity()->SetBits(prSpace);
  EXPECT_EQ(driver->TakenControlFlags(), unsigned{CS7 | PARENB | CMSPAR | CSTOPB});
  port.Parity()->SetBits(prOdd);

  port.SetCustomBaudRate(250000);
  const auto refused = Raised([&] { port.SetBaudRate(brCustom); });
  if (GetParam().fastestRate != 0 && GetParam().fastestRate < 250000) {
    EXPECT_EQ(refused, std::make_pair(7, 87)) << "refused as Windows refuses it";
    EXPECT_EQ(driver->TakenSpeed(), 115200u);
    EXPECT_EQ(driver->TakenControlFlags(), sevenOddTwo) << "the line stays exactly as it was";
  } else {
    EXPECT_EQ(refused, std::make_pair(0, 0));
    EXPECT_EQ(driver->TakenSpeed(), 250000u);
  }
  EXPECT_EQ(port.WriteText("still"), 5);
  EXPECT_EQ(pty.Read(5), "still");
}

TEST_P(ComPortOnEveryDriverTest, LineChangesReachTheHandlersWhereTheDriverCanWaitForThem) {
  std::vector<std::string> seen;
  port.SetOnCTSChange([&](TObject*, bool on) { seen.push_back(on ? "CTS on" : "CTS off"); });
  port.SetOnDSRChange([&](TObject*, bool on) { seen.push_back(on ? "DSR on" : "DSR off"); });
  port.SetOnRLSDChange([&](TObject*, bool on) { seen.push_back(on ? "RLSD on" : "RLSD off"); });
  port.SetOnRing([&](TObject*) { seen.push_back("ring"); });
  port.OpenPort();
  ServeUntil([&] { return seen.size() >= 3; });
  if (GetParam().waitsForLines) {
    ASSERT_TRUE(ServeUntil([&] { return driver->BlockedWaits() == 1; })) << "a change before the wait is not seen";
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"CTS on", "DSR on", "RLSD on"})) << "the lines as they stand at open";
  seen.clear();
  driver->SetInputLines(TIOCM_CTS | TIOCM_RNG);  // DSR and carrier drop, the ring starts
  if (GetParam().waitsForLines) {
    ASSERT_TRUE(ServeUntil([&] { return seen.size() >= 3; })) << seen.size();
    ServeUntil([] { return false; }, 50ms);
    EXPECT_EQ(seen, (std::vector<std::string>{"ring", "DSR off", "RLSD off"}));
  } else {
    ServeUntil([] { return false; }, 200ms);
    EXPECT_TRUE(seen.empty()) << "a driver that cannot wait for its lines reports no changes";
  }
  EXPECT_EQ(port.ModemSignals().ToBits(), (TModemSignals{msCTS, msRing}).ToBits()) << "but reads them when asked";
  port.ClosePort();
}

TEST_P(ComPortOnEveryDriverTest, LineErrorsAreReportedWhereTheDriverCountsThem) {
  std::atomic<int> errorEvents{0};
  TComErrors reported;
  port.SetOnError([&](TObject*, TComErrors errors) {
    reported = errors;
    ++errorEvents;
  });
  port.OpenPort();
  driver->CountLineError(&serial_icounter_struct::frame);
  driver->CountLineError(&serial_icounter_struct::brk);
  pty.Write("x");  // the counters are read as bytes arrive
  if (GetParam().countsLines) {
    ASSERT_TRUE(ServeUntil([&] { return errorEvents > 0; }));
    EXPECT_TRUE(reported.Contains(ceFrame));
    EXPECT_TRUE(reported.Contains(ceBreak));
  } else {
    ServeUntil([&] { return port.InQueueCount() == 1; });
    EXPECT_EQ(errorEvents, 0) << "a driver without counters reports errors in band only";
  }
  port.ClosePort();
}

TEST_P(ComPortOnEveryDriverTest, OutputHeldByFlowControlCostsNoWakeUpsAndItsEndIsReported) {
  std::atomic<int> emptied{0};
  port.SetOnTxEmpty([&](TObject*) { ++emptied; });
  port.OpenPort();
  ServeUntil([] { return false; }, 50ms);
  emptied = 0;
  driver->HoldOutput(5);
  EXPECT_EQ(port.WriteText("held!"), 5) << "a write ends when the tty has taken it";
  ASSERT_TRUE(ServeUntil([&] { return driver->BlockedWaits() >= (GetParam().waitsForLines ? 2 : 1); }));
  const long wakeups = PortThreadWakeups();
  const int asked = driver->Calls(TIOCOUTQ);
  ServeUntil([] { return false; }, 300ms);
  EXPECT_EQ(emptied, 0) << "the output has not left";
  EXPECT_LE(PortThreadWakeups() - wakeups, 2) << "nothing looks again while the output is held";
  EXPECT_EQ(driver->Calls(TIOCOUTQ), asked);
  driver->ReleaseOutput();
  EXPECT_TRUE(ServeUntil([&] { return emptied > 0; })) << "the output-empty event comes when the output has left";
  port.ClosePort();
}

TEST_P(ComPortOnEveryDriverTest, OutputStillHeldWhenThePortClosesIsDroppedAfterTheTimeTheWireWouldTake) {
  port.SetBaudRate(br9600);
  port.OpenPort();
  driver->HoldOutput(96);  // 100 ms of wire at 9600 baud
  EXPECT_EQ(port.WriteText("held"), 4);
  const auto start = std::chrono::steady_clock::now();
  port.ClosePort();
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(driver->DroppedOutput(), 96);
  EXPECT_GE(took, 100ms) << "the bytes had their time to go";
  EXPECT_LT(took, 5s) << "and the close was not held up for the kernel's 30 s";
}

TEST_P(ComPortOnEveryDriverTest, AnUnpluggedIdleLineEndsEveryWaitAtOnceAndThePortStillCloses) {
  {
    TComPort idle(nullptr);
    idle.SetPort(pty.DevicePath());
    idle.OpenPort();
    if (GetParam().waitsForLines) {
      ASSERT_TRUE(ServeUntil([&] { return driver->BlockedWaits() == 1; }));
    }
    pty.CloseMaster();
    // A PCI card's removal waits for every TIOCMIWAIT on it to end; the port must end its own.
    EXPECT_TRUE(ServeUntil([&] { return driver->BlockedWaits() == 0; }, 2s)) << "a wait holds up the removal";
    EXPECT_EQ(Raised([&] { idle.WriteText("x"); }).first, CError_WriteFailed);
    EXPECT_NO_THROW(idle.ClosePort());
  }
  baseline.ExpectRestored();
}

TEST_P(ComPortOnEveryDriverTest, UnpluggingDuringALongWriteFailsItAndThePortStillCloses) {
  {
    TComPort busy(nullptr);
    busy.SetPort(pty.DevicePath());
    busy.OpenPort();
    std::thread unplug([&] {
      std::this_thread::sleep_for(100ms);
      pty.CloseMaster();
    });
    const auto [number, code] = Raised([&] { busy.WriteText(std::string(256 * 1024, 'w')); });
    unplug.join();
    EXPECT_EQ(number, CError_WriteFailed);
    EXPECT_NE(code, 0);
    EXPECT_NO_THROW(busy.ClosePort());
  }
  baseline.ExpectRestored();
}

INSTANTIATE_TEST_SUITE_P(EveryDriver, ComPortOnEveryDriverTest, ::testing::ValuesIn(EveryDriverProfile()),
                         ProfileName<::testing::TestParamInfo<DriverProfile>>);

// RTS_CONTROL_TOGGLE is the driver's RS-485 mode, which outlives the port unless switched off.
TEST(Rs485Test, ToggleModeIsSwitchedOffWhenTheRtsModeChangesAndWhenThePortCloses) {
  PseudoTerminal pty;
  InstalledDriver driver(Rs485Uart(), pty);
  TComPort port(nullptr);
  port.SetPort(pty.DevicePath());
  port.FlowControl()->SetControlRTS(rtsToggle);
  port.OpenPort();
  EXPECT_EQ(driver->Rs485().flags, unsigned{SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND});
  port.FlowControl()->SetControlRTS(rtsEnable);
  EXPECT_EQ(driver->Rs485().flags & SER_RS485_ENABLED, 0u);
  EXPECT_EQ(driver->OutputLines() & TIOCM_RTS, TIOCM_RTS);
  port.FlowControl()->SetControlRTS(rtsToggle);
  EXPECT_EQ(driver->Rs485().flags & SER_RS485_ENABLED, unsigned{SER_RS485_ENABLED});
  port.ClosePort();
  EXPECT_EQ(driver->Rs485().flags & SER_RS485_ENABLED, 0u) << "closing gives the mode back";

  TComPort plain(nullptr);  // a driver without RS-485 cannot toggle RTS
  PseudoTerminal other;
  InstalledDriver uart(EveryDriverProfile().front(), other);
  plain.SetPort(other.DevicePath());
  plain.FlowControl()->SetControlRTS(rtsToggle);
  try {
    plain.OpenPort();
    FAIL() << "RTS toggling needs the driver's RS-485 mode";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.WinErrorCode(), 50);
  }
}

}  // namespace
