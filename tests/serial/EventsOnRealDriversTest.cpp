// The port's events on the kernel's own serial drivers: received bytes, a break sent by the
// far end, and the output-empty event while the far end holds the output back.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "serial/CPort.h"
#include "tests/realdrivers/guest/DeviceParams.h"
#include "tests/realdrivers/guest/DriverView.h"
#include "tests/support/MainLoop.h"
#include "tests/support/ProcessCounts.h"

namespace {

using namespace realdrivers;
using std::chrono::milliseconds;

// Serves the main thread's queue for a while, so late or repeated events would show.
void ServeFor(milliseconds time) { ServeUntil([] { return false; }, time); }

class EventsOnRealDriversTest : public ::testing::TestWithParam<Device> {
 protected:
  void SetUp() override { port.SetPort(path); }
  void TearDown() override {
    if (held) far.Release();
  }

  const std::string path = DevicePath(GetParam());
  FarEnd far{GetParam()};
  bool held = false;
  TComPort port{nullptr};
};

TEST_P(EventsOnRealDriversTest, EachArrivalRaisesOneReceivedEvent) {
  std::vector<int> counts;
  port.SetEvents({evRxChar});
  port.SetOnRxChar([&](TObject*, std::int32_t count) { counts.push_back(count); });
  port.OpenPort();
  for (int i = 1; i <= 4; ++i) {
    far.Send(std::string(1, static_cast<char>('0' + i)));
    ASSERT_TRUE(ServeUntil([&] { return counts.size() >= static_cast<std::size_t>(i); }))
        << "arrival " << i << " raised no event";
  }
  ServeFor(milliseconds(300));
  // Nothing reads the queue, so each event reports every byte waiting in it.
  EXPECT_EQ(counts, (std::vector<int>{1, 2, 3, 4})) << "one event an arrival, never one for bytes already reported";
}

class BreakOnUartTest : public EventsOnRealDriversTest {};

TEST_P(BreakOnUartTest, ABreakFromTheFarEndRaisesTheBreakEventAndTheBreakError) {
  int breaks = 0;
  port.SetEvents({evBreak});
  port.SetOnBreak([&](TObject*) { ++breaks; });
  port.OpenPort();
  DriverView view(path);
  const unsigned counted = view.Breaks();
  far.SendBreak();
  ASSERT_TRUE(ServeUntil([&] { return breaks > 0; })) << "the break raised no event";
  EXPECT_EQ(view.Breaks(), counted + 1) << "the driver saw one break";
  EXPECT_TRUE(port.LineErrors().Contains(ceBreak));
  EXPECT_TRUE(port.LineErrors().Empty()) << "reading the line errors clears them";
  ServeFor(milliseconds(200));
  EXPECT_EQ(breaks, 1);
}

class HeldOutputOnUartTest : public EventsOnRealDriversTest {};

// The far end stops reading, so the UART cannot send: the kernel keeps the bytes, and the port
// waits for them to leave without waking on a timer meanwhile.
TEST_P(HeldOutputOnUartTest, NoTimerWakesThePortWhileTheOutputIsHeldAndOutputEmptyComesOnceItLeaves) {
  int empties = 0;
  port.SetBaudRate(br115200);
  port.SetEvents({evTxEmpty});
  port.SetOnTxEmpty([&](TObject*) { ++empties; });
  port.OpenPort();
  DriverView view(path);
  far.Skip();
  far.Hold();
  held = true;
  const std::string text(1000, 'h');
  ASSERT_EQ(port.WriteText(text), 1000);
  ServeFor(milliseconds(200));  // the device model fills the far end's socket and stalls
  ASSERT_GT(view.OutputQueued(), 0) << "the far end did not hold the output back";
  EXPECT_EQ(empties, 0) << "output-empty came while the kernel still held bytes";
  const long before = ContextSwitchesOfThreads("com-");
  ServeFor(milliseconds(1000));
  const long wakeUps = ContextSwitchesOfThreads("com-") - before;
  EXPECT_LE(wakeUps, 3) << "the port's threads woke " << wakeUps << " times in a second of held output";
  EXPECT_EQ(empties, 0);
  far.Release();
  held = false;
  EXPECT_TRUE(ServeUntil([&] { return empties > 0; })) << "output-empty never came once the output left";
  EXPECT_EQ(far.Take(text.size()), text);
}

INSTANTIATE_TEST_SUITE_P(RealDrivers, EventsOnRealDriversTest, EveryDevice, DriverOf);
INSTANTIATE_TEST_SUITE_P(RealDrivers, BreakOnUartTest, ::testing::Values(Device::Uart), DriverOf);
INSTANTIATE_TEST_SUITE_P(RealDrivers, HeldOutputOnUartTest, EveryUart, DriverOf);

}  // namespace
