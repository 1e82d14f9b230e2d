// InitHardware and DoneHardware with the settings file of a temporary HOME, over the fake.
#include <gtest/gtest.h>

#include "display/LCDControl_COM.h"
#include "plugin/HostInterface.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/TemporaryHome.h"

namespace {

class InitHardwareTest : public ::testing::Test {
 protected:
  void TearDown() override { record->DoneHardware(); }
  TLCDControl_COM& Display() { return *static_cast<TLCDControl_COM*>(record->Control); }

  TemporaryHome home;
  fake::ScopedFakePlatform fake;
  HostInfoRecord* record = getHardware();
};

TEST_F(InitHardwareTest, WithoutAFileTheDisplayOpensCom2At2400WithTwoRowsOfSixteen) {
  ASSERT_EQ(record->Control, nullptr);
  EXPECT_EQ(record->InitHardware(), 0);
  ASSERT_NE(record->Control, nullptr);
  EXPECT_EQ(Display().Port(), "COM2");
  EXPECT_EQ(Display().ComPort()->BaudRate(), br2400);
  EXPECT_EQ(Display().GetRowCount(), 2);
  EXPECT_EQ(Display().GetColCount(), 16);
  EXPECT_TRUE(Display().GetActive());
  EXPECT_EQ(fake->Writes(), std::vector<std::string>{"\xFE\xC0\x0C"});
  EXPECT_FALSE(home.ReadSettings()) << "nothing is written until the dialog says OK";
  EXPECT_EQ(getHardware(), record) << "one record for the module's life";
  EXPECT_EQ(getHardware()->Control, record->Control);
}

TEST_F(InitHardwareTest, StoredCountsAndRatesConfigureTheControl) {
  struct Case {
    const char* file;
    int rows, cols;
    TBaudRate rate;
  };
  const Case cases[] = {
      {"[Quorvel.dll]\nLines count=4\nCols count=20\nBaudrate=13\n", 4, 20, br115200},
      {"[quorvel.DLL]\nlines COUNT = 1\n", 1, 16, br2400},                       // names match in any case
      {"[Quorvel.dll]\nCols count=8\nBaudrate=0\n", 2, 16, brCustom},            // 8 is no display width
      {"[Quorvel.dll]\nLines count=258\nCols count=0x14\n", 2, 20, br2400},      // low eight bits; hexadecimal
      {"[Quorvel.dll]\nLines count=four\nBaudrate=99\n", 2, 16, br2400},         // not a number; no such rate
      {"[Quorvel.dll]\nBaudrate=-1\nCols count=4294967296\n", 2, 16, br2400},    // 255 is no rate; overflows
      {"[Quorvel.dll]\nBaudrate=15\n", 2, 16, br256000},                        // the last rate of the table
      {"[Quorvel.dll]\nBaudrate=16\n", 2, 16, br2400},                          // one past it
      {"[Quorvel.dll]\nLines count=4\n[Other]\nBaudrate=13\nCols count=20\n", 4, 16, br2400},  // another's keys
  };
  for (const Case& c : cases) {
    home.WriteSettings(c.file);
    record->InitHardware();  // a second initialisation replaces the first control
    EXPECT_EQ(Display().GetRowCount(), c.rows) << c.file;
    EXPECT_EQ(Display().GetColCount(), c.cols) << c.file;
    EXPECT_EQ(Display().ComPort()->BaudRate(), c.rate) << c.file;
    EXPECT_TRUE(Display().GetActive()) << "the first control let go of the port";
  }
}

TEST_F(InitHardwareTest, AnUnopenablePortLeavesAnInactiveControlInTheRecord) {
  home.WriteSettings("[Quorvel.dll]\nPort=COM9\n");
  fake->RemoveDevice("COM9");
  try {
    record->InitHardware();
    FAIL() << "the open failure must reach the host";
  } catch (const EComPort&) {
    FAIL() << "the host gets the control's own exception";
  } catch (const Exception& e) {
    EXPECT_NE(e.Message().find("(COM9)!"), std::string::npos);
  }
  ASSERT_NE(record->Control, nullptr);
  EXPECT_FALSE(Display().GetActive());
}

TEST_F(InitHardwareTest, DoneHardwareFreesTheControlOnceAndLeavesNothingOpen) {
  EXPECT_EQ(record->DoneHardware(), 0) << "before InitHardware it finds nothing";
  record->InitHardware();
  EXPECT_EQ(record->DoneHardware(), 0);
  EXPECT_EQ(record->Control, nullptr);
  EXPECT_EQ(record->DoneHardware(), 0);
  EXPECT_EQ(fake->OpenHandles(), 0u);
}

}  // namespace
