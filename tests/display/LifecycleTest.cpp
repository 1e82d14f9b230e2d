// How a display control opens, reopens and fails, over the recording fake platform.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/display/DisplayTestSupport.h"
#include "tests/support/FakePlatform.h"

namespace {

using namespace platform;

using Writes = std::vector<std::string>;
const std::string StartUp = Bytes({0xFE, 0xC0, 0x0C});

class LifecycleTest : public ::testing::Test {
 protected:
  fake::ScopedFakePlatform fake;
  TLCDControl_COM lcd{nullptr};
};

TEST_F(LifecycleTest, SetPortWithTheSameNameDoesNothingEvenWhileActive) {
  lcd.SetActive(true);
  fake->ClearCalls();
  lcd.SetPort("COM2");
  EXPECT_TRUE(fake->Calls().empty());
}

TEST_F(LifecycleTest, SetPortOnAnActiveControlReopensOnTheNewNameAndStartsTheDisplayAgain) {
  lcd.SetActive(true);
  fake->ClearCalls();
  lcd.SetPort("com2");  // differs only in letter case: another name
  EXPECT_TRUE(lcd.GetActive());
  EXPECT_EQ(lcd.Port(), "com2");
  ASSERT_EQ(fake->Opens().size(), 1u);
  EXPECT_EQ(fake->Opens()[0].name, "\\\\.\\com2");
  EXPECT_EQ(fake->Writes(), Writes{StartUp});
  lcd.SetActive(false);
  EXPECT_EQ(fake->OpenHandles(), 0u) << "the first device went with its close";
}

TEST_F(LifecycleTest, WhileInactiveSetPortAndSetBaudateOnlyChangeSettings) {
  lcd.SetPort("COM5");
  lcd.SetBaudate(br57600);
  EXPECT_EQ(lcd.ComPort()->Port(), "COM5");
  EXPECT_EQ(lcd.ComPort()->BaudRate(), br57600);
  EXPECT_EQ(lcd.Baudate(), br57600);
  EXPECT_FALSE(lcd.GetActive());
  EXPECT_TRUE(fake->Calls().empty());
}

TEST_F(LifecycleTest, SetBaudateReopensAnActiveControlEvenWhenUnchanged) {
  lcd.SetActive(true);
  for (TBaudRate rate : {br19200, br19200}) {
    fake->ClearCalls();
    lcd.SetBaudate(rate);
    EXPECT_EQ(fake->CountOf("CreateFileA"), 1u);
    EXPECT_EQ(fake->Writes(), Writes{StartUp});
    ASSERT_FALSE(fake->CommStates().empty());
    EXPECT_EQ(fake->CommStates().back().BaudRate, 19200u);
  }
  EXPECT_TRUE(lcd.GetActive());
}

TEST_F(LifecycleTest, CountSettersAcceptOnlyDisplaySizesAndFireOnEveryAcceptedValue) {
  int colEvents = 0, rowEvents = 0;
  lcd.SetOnColCountChange([&](TObject* sender) {
    EXPECT_EQ(sender, &lcd);
    ++colEvents;
  });
  lcd.SetOnRowCountChange([&](TObject*) { ++rowEvents; });
  for (int cols : {8, 17, 0, -16}) lcd.SetColCount(cols);
  EXPECT_EQ(colEvents, 0);
  EXPECT_EQ(lcd.GetColCount(), 16);
  lcd.SetColCount(20);
  lcd.SetColCount(20);
  EXPECT_EQ(colEvents, 2);
  for (int cols : {16, 24, 32, 40}) lcd.SetColCount(cols);
  EXPECT_EQ(lcd.GetColCount(), 40);
  lcd.SetRowCount(3);
  EXPECT_EQ(lcd.GetRowCount(), 2);
  for (int rows : {1, 4}) lcd.SetRowCount(rows);
  EXPECT_EQ(lcd.GetRowCount(), 4);
  EXPECT_EQ(rowEvents, 2);
  EXPECT_TRUE(fake->Writes().empty());
}

TEST_F(LifecycleTest, AMissingPortGivesTheRussianOpenFailureAndLeavesTheControlInactive) {
  fake->RemoveDevice("COM9");
  lcd.SetPort("COM9");
  EXPECT_OPEN_FAILURE(lcd.SetActive(true), "COM9");
  EXPECT_FALSE(lcd.GetActive());
  EXPECT_FALSE(lcd.ComPort()->Connected());
}

TEST_F(LifecycleTest, AFailedStartUpWriteFailsTheOpenButLeavesThePortConnected) {
  fake->FailNext("WriteFile", ERROR_GEN_FAILURE);
  EXPECT_OPEN_FAILURE(lcd.SetActive(true), "COM2");
  EXPECT_FALSE(lcd.GetActive());
  EXPECT_TRUE(lcd.ComPort()->Connected());
  lcd.SetActive(false);
  EXPECT_EQ(fake->OpenHandles(), 0u);
}

TEST_F(LifecycleTest, AReopenThatFailsAfterSetBaudateNamesThePort) {
  lcd.SetActive(true);
  fake->FailNext("CreateFileA", ERROR_ACCESS_DENIED);
  EXPECT_OPEN_FAILURE(lcd.SetBaudate(br115200), "COM2");
  EXPECT_FALSE(lcd.GetActive());
  EXPECT_EQ(lcd.ComPort()->BaudRate(), br115200);
}

TEST_F(LifecycleTest, AReopenThatFailsAfterSetPortNamesTheNewPort) {
  lcd.SetActive(true);
  fake->RemoveDevice("COM9");
  EXPECT_OPEN_FAILURE(lcd.SetPort("COM9"), "COM9");
  EXPECT_FALSE(lcd.GetActive());
  EXPECT_EQ(lcd.Port(), "COM9");
  EXPECT_EQ(fake->OpenHandles(), 0u);
}

TEST_F(LifecycleTest, AWriteFailureInWriteAtPassesThePortsExceptionAndStopsTheText) {
  lcd.ComPort()->SetEvents({});  // no event thread, so the handle count is the writes' alone
  lcd.SetActive(true);
  fake->ClearCalls();
  const std::size_t handlesWhenActive = fake->OpenHandles();
  fake->FailNext("WriteFile", ERROR_GEN_FAILURE, 2);  // position, 'a', then 'b' fails
  try {
    lcd.WriteAt(1, 1, "abc");
    FAIL() << "the write failure must reach the caller";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ErrorNumber(), 2);
    EXPECT_EQ(e.WinErrorCode(), 31);
  }
  EXPECT_TRUE(lcd.GetActive());
  EXPECT_EQ(fake->Writes(), (Writes{Bytes({0xFE, 0x47, 1, 1}), "a"}));
  EXPECT_EQ(fake->OpenHandles(), handlesWhenActive) << "each write's event is closed again";
}

TEST(LifecycleDestructionTest, DestroyingAnActiveControlSendsNothingRaisesNothingAndLeavesNoHandle) {
  fake::ScopedFakePlatform fake;
  {
    auto* lcd = new TLCDControl_COM(nullptr);
    lcd->SetActive(true);
    fake->ClearCalls();
    fake->FailNext("PurgeComm", ERROR_GEN_FAILURE);  // even a close that fails
    EXPECT_NO_THROW(delete lcd);
  }
  EXPECT_TRUE(fake->Writes().empty());
  EXPECT_EQ(fake->OpenHandles(), 0u);
}

}  // namespace
