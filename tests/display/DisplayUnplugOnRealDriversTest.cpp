// An active display whose device is unplugged, on the kernel's own drivers: its commands fail
// with the port's exception, and when the device comes back (the USB adapter under a new name
// while the old descriptor is still open) the display works there, leaving nothing behind.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "display/LCDControl_COM.h"
#include "tests/realdrivers/guest/DeviceParams.h"
#include "tests/realdrivers/guest/HotPlug.h"
#include "tests/reliability/Baseline.h"
#include "tests/reliability/HeapInUse.h"
#include "tests/serial/SerialTestSupport.h"
#include "tests/support/MainLoop.h"

namespace {

using namespace realdrivers;

class DisplayUnplugOnRealDriversTest : public ::testing::TestWithParam<Device> {
 protected:
  Baseline baseline;
  const std::size_t heap = HeapInUse();
  const std::string path = DevicePath(GetParam());
  FarEnd far{GetParam()};
  HotPlug plug{GetParam()};
};

TEST_P(DisplayUnplugOnRealDriversTest, AnUnpluggedDisplayFailsItsCommandsAndWorksOnTheDeviceThatComesBack) {
  {
    far.Skip();
    auto lcd = std::make_unique<TLCDControl_COM>(nullptr);
    lcd->SetPort(path);
    lcd->SetActive(true);
    ASSERT_EQ(Hex(far.Take(3)), "FE C0 0C");
    // The start-up string's events are handed over first, as the host's loop would; an unplug
    // while a batch waits for the main thread is a test of the port's own.
    ServeUntilQuiet();
    if (!plug.Unplug()) return;
    EXPECT_EQ(RaisedBy([&] { lcd->WriteAt(1, 1, "x"); }).ErrorNumber(), CError_WriteFailed);
    EXPECT_EQ(RaisedBy([&] { lcd->ClearScreen(); }).ErrorNumber(), CError_WriteFailed);
    EXPECT_TRUE(lcd->GetActive()) << "a failed command leaves the control active";
    // The device comes back while the control still holds the old one open.
    const std::string again = plug.Replug();
    far.Skip();
    EXPECT_NO_THROW(lcd->SetActive(false));
    lcd->SetPort(again);
    ASSERT_NO_THROW(lcd->SetActive(true)) << again;
    EXPECT_EQ(Hex(far.Take(3)), "FE C0 0C");
    lcd->ClearScreen();
    EXPECT_EQ(Hex(far.Take(2)), "FE 58");
  }
  baseline.ExpectRestored();
  EXPECT_LE(HeapInUse(), heap + HeapTolerance) << "memory left allocated";
}

INSTANTIATE_TEST_SUITE_P(RealDrivers, DisplayUnplugOnRealDriversTest, EveryPluggableDevice, DriverOf);

}  // namespace
