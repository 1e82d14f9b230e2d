// Long runs on a real pseudo-terminal with every event monitored: many writes through one open
// port, and many activations of the display control. Afterwards the process holds as many
// descriptors, threads and bytes of memory as before.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "display/LCDControl_COM.h"
#include "tests/reliability/Baseline.h"
#include "tests/reliability/HandOvers.h"
#include "tests/reliability/HeapInUse.h"
#include "tests/reliability/LineReader.h"

namespace {

// The full counts take a few seconds even under the sanitizers, so they are not cut there.
constexpr int Writes = 100'000;
constexpr int Activations = 1'000;

class SoakTest : public ::testing::Test {
 protected:
  void ExpectRestored(std::size_t heapBefore) {
    baseline.ExpectRestored();
    const std::size_t heapAfter = HeapInUse();
    EXPECT_LE(heapAfter, heapBefore + HeapTolerance) << "heap grew from " << heapBefore << " to " << heapAfter;
  }

  PseudoTerminal pty;  // the line outlives the counts' check
  Baseline baseline;
};

class WriteSoakTest : public SoakTest, public ::testing::WithParamInterface<TSyncMethod> {};

TEST_P(WriteSoakTest, ManyWritesThroughOneMonitoredPort) {
  const std::size_t heapBefore = HeapInUse();
  std::uint64_t sent = 0;
  int batches = 0;
  int received = 0;
  {
    TComPort port(nullptr);
    port.SetPort(pty.DevicePath());
    port.SetSyncMethod(GetParam());
    port.SetOnTxEmpty([&](TObject*) { ++batches; });
    port.SetOnRxChar([&](TObject*, std::int32_t) { ++received; });
    port.OpenPort();
    {
      LineReader reader(pty.MasterFd());
      for (int i = 0; i < Writes; ++i) {
        const std::string text(static_cast<std::size_t>(1 + i % 64), static_cast<char>('a' + i % 26));
        ASSERT_EQ(port.WriteText(text), static_cast<std::int32_t>(text.size())) << "write " << i;
        sent += text.size();
        if (i % 64 == 0) CheckSynchronize();  // the host's loop hands the batches over now and then
      }
      EXPECT_TRUE(ServeUntil([&] { return reader.Received() == sent; }, std::chrono::seconds(10)))
          << reader.Received() << " of " << sent << " bytes arrived";
    }
    EXPECT_GT(batches, 0) << "no output-empty event reached the main thread";
    EXPECT_GT(received, 0) << "no received-character event reached the main thread";
    port.ClosePort();
  }
  ExpectRestored(heapBefore);
}

INSTANTIATE_TEST_SUITE_P(MainThreadHandOvers, WriteSoakTest, MainThreadHandOverMethods, HandOverName);

TEST_F(SoakTest, ManyActivationsOfTheDisplay) {
  const std::size_t heapBefore = HeapInUse();
  {
    TLCDControl_COM display(nullptr);
    display.SetPort(pty.DevicePath());
    for (int i = 0; i < Activations; ++i) {
      ASSERT_NO_THROW(display.SetActive(true)) << "activation " << i;
      ASSERT_EQ(Hex(pty.Read(3)), "FE C0 0C") << "activation " << i;
      display.SetActive(false);
      ASSERT_FALSE(display.ComPort()->Connected());
      CheckSynchronize();
    }
  }
  ExpectRestored(heapBefore);
}

}  // namespace
