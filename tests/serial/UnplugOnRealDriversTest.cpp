// Unplugging the FTDI adapter and the PCI card under an open port: while idle, during a long
// write, while the event thread waits and while an event batch waits for the main thread.
// Never a hang or a crash: the port's exception, a port that closes, nothing left behind, the
// kernel's removal never held up, and after a replug the port works again.
#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <exception>
#include <string>
#include <thread>

#include "platform/Api.h"
#include "runtime/MainThread.h"
#include "serial/CPort.h"
#include "tests/realdrivers/guest/DeviceParams.h"
#include "tests/realdrivers/guest/HotPlug.h"
#include "tests/reliability/Baseline.h"
#include "tests/reliability/HeapInUse.h"
#include "tests/serial/SerialTestSupport.h"
#include "tests/support/MainLoop.h"

namespace {

using namespace realdrivers;

class UnplugOnRealDriversTest : public ::testing::TestWithParam<Device> {
 protected:
  void SetUp() override { heap_ = HeapInUse(); }
  void TearDown() override {
    if (held_) far.Release();
  }

  void Hold() {
    far.Hold();
    held_ = true;
  }
  // After the fault the port closes, and once the device is back it opens and works there.
  void ExpectRecovers(TComPort& port) {
    EXPECT_NO_THROW(port.ClosePort());
    EXPECT_FALSE(port.Connected());
    if (held_) far.Release();
    held_ = false;
    port.SetPort(plug_.Replug());
    ASSERT_NO_THROW(port.OpenPort());
    far.Skip();
    EXPECT_EQ(port.WriteText("again"), 5);
    EXPECT_EQ(far.Take(5), "again");
    port.ClosePort();
  }
  void ExpectNothingLeft() {
    baseline_.ExpectRestored();
    EXPECT_LE(HeapInUse(), heap_ + HeapTolerance) << "memory left allocated";
  }

  Baseline baseline_;
  std::size_t heap_ = 0;
  bool held_ = false;
  const std::string path = DevicePath(GetParam());
  FarEnd far{GetParam()};
  HotPlug plug_{GetParam()};
};

TEST_P(UnplugOnRealDriversTest, WhileIdleTheNextWriteFailsAndThePortWorksAgainAfterAReplug) {
  {
    TComPort port(nullptr);
    port.SetPort(path);
    port.SetEvents({});
    port.OpenPort();
    if (!plug_.Unplug()) return;
    const EComPort failed = RaisedBy([&] { port.WriteText("x"); });
    EXPECT_EQ(failed.ErrorNumber(), CError_WriteFailed);
    EXPECT_EQ(RaisedBy([&] { port.InQueueCount(); }).ErrorNumber(), CError_ClearComFailed);
    EXPECT_EQ(RaisedBy([&] { port.ModemSignals(); }).ErrorNumber(), CError_ModemStatFailed);
    ExpectRecovers(port);
  }
  ExpectNothingLeft();
}

TEST_P(UnplugOnRealDriversTest, DuringALongWriteTheWriteFailsAndThePortWorksAgainAfterAReplug) {
  {
    TComPort port(nullptr);
    port.SetPort(path);
    port.SetEvents({});
    port.Timeouts()->SetWriteTotalMultiplier(0);
    port.Timeouts()->SetWriteTotalConstant(0);  // no time-out: only the unplug ends the write
    port.OpenPort();
    // A UART's far end can stop reading, so the write waits for ever. The USB adapter's far end
    // must always read; the kernel then takes the whole write in one system call, which takes
    // seconds for this much, and the unplug lands in the middle of it.
    if (GetParam() != Device::UsbAdapter) Hold();
    const std::string big(GetParam() == Device::UsbAdapter ? 32u << 20 : 1u << 20, 'w');
    far.Skip();
    bool removed = false;
    std::thread unplug([&] { removed = plug_.Unplug(); });
    PPortTransfer transfer = nullptr;
    port.NewPortTransfer(transfer);
    try {
      port.StartWriteText(big, transfer);
      port.WaitForTransfer(transfer);
      ADD_FAILURE() << "the write finished although the device went";
    } catch (const EComPort& e) {
      EXPECT_EQ(e.ErrorNumber(), CError_WriteFailed) << e.what();
    }
    port.DisposePortTransfer(transfer);
    unplug.join();
    const std::size_t arrived = far.Count();
    EXPECT_LT(arrived, big.size()) << "the write was over before the unplug";
    if (GetParam() == Device::UsbAdapter) {
      EXPECT_GT(arrived, 0u) << "the unplug came before the write began";
    }
    if (!removed) return;
    ExpectRecovers(port);
  }
  ExpectNothingLeft();
}

TEST_P(UnplugOnRealDriversTest, WhileTheEventThreadWaitsItEndsByItselfAndThePortWorksAgainAfterAReplug) {
  {
    TComPort port(nullptr);  // every event, the modem lines' among them
    port.SetPort(path);
    port.OpenPort();
    ASSERT_NE(port.MonitorThread(), nullptr);
    if (!plug_.Unplug()) return;
    EXPECT_TRUE(ServeUntil([&] { return port.MonitorThread()->Finished(); })) << "the event thread did not end";
    EXPECT_EQ(port.MonitorThread()->FatalException(), nullptr);
    EXPECT_EQ(RaisedBy([&] { port.WriteText("x"); }).ErrorNumber(), CError_WriteFailed);
    ExpectRecovers(port);
  }
  ExpectNothingLeft();
}

TEST_P(UnplugOnRealDriversTest, WhileABatchWaitsForTheMainThreadTheBatchFailsAndThePortWorksAgainAfterAReplug) {
  {
    std::atomic<int> received{0};
    TComPort port(nullptr);
    port.SetPort(path);
    port.SetOnRxChar([&](TObject*, std::int32_t) { ++received; });
    port.OpenPort();
    far.Send("a");
    // The main thread serves nothing until the unplug: the batch waits in its queue meanwhile.
    pollfd pfd{static_cast<int>(TMainThreadQueue::Instance().WakeHandle()), POLLIN, 0};
    ASSERT_EQ(poll(&pfd, 1, 5000), 1) << "the batch never reached the main thread";
    if (!plug_.Unplug()) return;
    ASSERT_TRUE(ServeUntil([&] { return port.MonitorThread()->Finished(); })) << "the event thread did not end";
    EXPECT_EQ(received, 0) << "the byte cannot be counted on a device that has gone";
    ASSERT_NE(port.MonitorThread()->FatalException(), nullptr) << "the batch's failure stays with the thread";
    try {
      std::rethrow_exception(port.MonitorThread()->FatalException());
    } catch (const EComPort& e) {
      // The batch asks the device for its queue or, when the adapter's first status report
      // came with it, for its modem lines.
      EXPECT_TRUE(e.ErrorNumber() == CError_ClearComFailed || e.ErrorNumber() == CError_ModemStatFailed) << e.what();
    }
    ExpectRecovers(port);
  }
  ExpectNothingLeft();
}

class PciCardSlotTest : public UnplugOnRealDriversTest {};

// The 8250 driver keeps ttyS2 as an empty slot once the card has gone, and the node stays.
TEST_P(PciCardSlotTest, TheSlotAnUnpluggedCardLeavesBehindDoesNotOpenAsAPort) {
  {
    if (!plug_.Unplug()) return;
    TComPort port(nullptr);
    port.SetPort(path);
    const EComPort refused = RaisedBy([&] { port.OpenPort(); });
    EXPECT_EQ(refused.ErrorNumber(), CError_OpenFailed);
    EXPECT_EQ(refused.WinErrorCode(), 2) << "a port whose device has gone is not found, as on Windows";
    EXPECT_FALSE(port.Connected());
  }
  ExpectNothingLeft();
}

INSTANTIATE_TEST_SUITE_P(RealDrivers, UnplugOnRealDriversTest, EveryPluggableDevice, DriverOf);
INSTANTIATE_TEST_SUITE_P(RealDrivers, PciCardSlotTest, ::testing::Values(Device::PciCard), DriverOf);

}  // namespace
