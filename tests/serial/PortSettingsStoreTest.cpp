// A port's configuration written to and read back from an INI section and a registry key, on
// real files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <fstream>
#include <iterator>

#include "runtime/IniFile.h"
#include "runtime/Registry.h"
#include "serial/CPort.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/TemporaryHome.h"

namespace {

using namespace platform;

const TSettingGroups AllGroups{sgBasic, sgFlowControl, sgBuffer, sgTimeouts, sgParity, sgMisc};

class PortSettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { port.SetName("ComPort1"); }
  std::string IniPath() const { return (home.Path() / "port.ini").string(); }
  std::string IniText() const {
    std::ifstream in(IniPath());
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // The keys a save wrote, in order.
  std::vector<std::string> SavedKeys() {
    std::vector<std::string> keys;
    std::istringstream lines(IniText());
    for (std::string line; std::getline(lines, line);)
      if (line.find('=') != std::string::npos) keys.push_back(line.substr(0, line.find('=')));
    return keys;
  }
  void WriteIni(const std::string& text) { std::ofstream(IniPath()) << text; }

  TemporaryHome home;
  fake::ScopedFakePlatform fake;
  TComPort port{nullptr};
};

TEST_F(PortSettingsStoreTest, ANewPortSavesItsSixBasicKeysUnderItsName) {
  TIniFile ini(IniPath());
  port.SaveToIniFile(ini);
  EXPECT_EQ(IniText(), "[ComPort1]\nPort=COM1\nBaudRate=9600\nStopBits=1\nDataBits=8\nParity=None\nFlowControl=None\n");
}

TEST_F(PortSettingsStoreTest, AllGroupsSaveTwentyEightKeysInGroupOrder) {
  port.SetSettingGroups(AllGroups);
  TIniFile ini(IniPath());
  port.SaveToIniFile(ini);
  const std::vector<std::string> keys = SavedKeys();
  ASSERT_EQ(keys.size(), 28u);
  EXPECT_EQ(keys[6], "EventChar") << "misc follows basic";
  EXPECT_EQ(keys[8], "Parity.Check");
  EXPECT_EQ(keys[11], "Buffer.OutputSize");
  EXPECT_EQ(keys[13], "Timeouts.ReadInterval");
  EXPECT_EQ(keys[27], "FlowControl.XonChar");
  EXPECT_EQ(ini.ReadString("ComPort1", "EventChar", ""), "#0");
  EXPECT_EQ(ini.ReadString("ComPort1", "FlowControl.XonChar", ""), "#17");
  EXPECT_EQ(ini.ReadString("ComPort1", "FlowControl.XoffChar", ""), "#19");
  EXPECT_EQ(ini.ReadInteger("ComPort1", "Timeouts.ReadInterval", 0), -1);
  EXPECT_EQ(ini.ReadInteger("ComPort1", "Buffer.InputSize", 0), 1024);

  port.SetBaudRate(brCustom);
  port.SetCustomBaudRate(250000);
  TIniFile again((home.Path() / "custom.ini").string());
  port.SaveToIniFile(again);
  EXPECT_EQ(again.ReadString("ComPort1", "BaudRate", ""), "Custom");
  EXPECT_EQ(again.ReadInteger("ComPort1", "CustomBaudRate", 0), 250000);
}

TEST_F(PortSettingsStoreTest, AnEmptySectionChangesNothingButACustomRate) {
  WriteIni("[ComPort1]\n");
  port.SetSettingGroups(AllGroups);
  port.Parity()->SetCheck(true);
  port.Timeouts()->SetWriteTotalConstant(7);
  TIniFile ini(IniPath());
  port.LoadFromIniFile(ini);
  EXPECT_EQ(port.BaudRate(), br9600);
  EXPECT_TRUE(port.Parity()->Check());
  EXPECT_EQ(port.Timeouts()->WriteTotalConstant(), 7);
  port.SetBaudRate(brCustom);
  port.SetCustomBaudRate(31250);
  port.LoadFromIniFile(ini);
  EXPECT_EQ(port.BaudRate(), brCustom);
  EXPECT_EQ(port.CustomBaudRate(), 9600);
}

TEST_F(PortSettingsStoreTest, StoredTextsConvertBackWithTheirFallbacks) {
  port.SetSettingGroups({sgBasic, sgMisc, sgFlowControl});
  port.FlowControl()->SetOutDSRFlow(true);
  WriteIni("[ComPort1]\nBaudRate=12345\nDiscardNull=yes\nFlowControl.OutCTSFlow=Yes\n");
  TIniFile ini(IniPath());
  port.LoadFromIniFile(ini);
  EXPECT_EQ(port.BaudRate(), br9600);
  EXPECT_TRUE(port.DiscardNull());
  EXPECT_TRUE(port.FlowControl()->OutCTSFlow());
  EXPECT_TRUE(port.FlowControl()->OutDSRFlow()) << "a missing detail key leaves its setting";
  for (const char* no : {"Y", "1", "True"}) {
    WriteIni(std::string("[ComPort1]\nDiscardNull=") + no + "\n");
    TIniFile reread(IniPath());
    port.LoadFromIniFile(reread);
    EXPECT_FALSE(port.DiscardNull()) << no;
  }
  WriteIni("[ComPort1]\nBaudRate=custom\n");
  TIniFile custom(IniPath());
  port.LoadFromIniFile(custom);
  EXPECT_EQ(port.BaudRate(), brCustom);
  EXPECT_EQ(port.CustomBaudRate(), 9600);
}

TEST_F(PortSettingsStoreTest, TheDetailKeysWinOverTheCompositeFlowControl) {
  port.SetSettingGroups({sgBasic, sgFlowControl});
  WriteIni("[ComPort1]\nFlowControl=Hardware\nFlowControl.ControlRTS=Enable\nFlowControl.OutCTSFlow=No\n");
  TIniFile ini(IniPath());
  port.LoadFromIniFile(ini);
  EXPECT_EQ(port.FlowControl()->ControlRTS(), rtsEnable);
  EXPECT_FALSE(port.FlowControl()->OutCTSFlow());
  EXPECT_EQ(port.FlowControl()->FlowControl(), fcCustom);
}

TEST_F(PortSettingsStoreTest, ANewPortNameReopensAnOpenPortBeforeTheRateIsApplied) {
  port.SetEvents({});
  port.OpenPort();
  fake->ClearCalls();
  WriteIni("[ComPort1]\nPort=COM4\nBaudRate=19200\n");
  TIniFile ini(IniPath());
  port.LoadFromIniFile(ini);
  const auto calls = fake->Calls();
  const auto reopen = std::find(calls.begin(), calls.end(), "CreateFileA");
  ASSERT_NE(reopen, calls.end());
  EXPECT_LT(std::find(calls.begin(), calls.end(), "CloseHandle"), reopen);
  // The reopen, the new rate, and the composite flow control, which is re-sent even unchanged.
  ASSERT_EQ(fake->CommStates().size(), 3u);
  EXPECT_EQ(fake->CommStates()[0].BaudRate, 9600u);
  EXPECT_EQ(fake->CommStates()[1].BaudRate, 19200u);
  EXPECT_EQ(fake->Opens()[0].name, "\\\\.\\COM4");
}

TEST_F(PortSettingsStoreTest, ASetterThatFailsEndsTheLoadWithTheEarlierKeysApplied) {
  port.SetEvents({});
  port.OpenPort();
  WriteIni("[ComPort1]\nBaudRate=19200\nStopBits=2\nDataBits=7\n");
  fake->FailNext("SetCommState", ERROR_INVALID_PARAMETER, 1);  // the stop bits are refused
  TIniFile ini(IniPath());
  EXPECT_THROW(port.LoadFromIniFile(ini), EComPort);
  EXPECT_EQ(port.BaudRate(), br19200);
  EXPECT_EQ(port.StopBits(), sbTwoStopBits) << "the value stays although the device refused it";
  EXPECT_EQ(port.DataBits(), dbEight) << "later keys are not handled";
}

TEST_F(PortSettingsStoreTest, EveryGroupRoundTripsThroughBothStores) {
  TComPort source(nullptr);
  source.SetName("ComPort1");
  source.SetSettingGroups(AllGroups);
  source.SetPort("/dev/ttyUSB3");
  source.SetBaudRate(brCustom);
  source.SetCustomBaudRate(250000);
  source.SetStopBits(sbTwoStopBits);
  source.SetDataBits(dbSeven);
  source.Parity()->SetBits(prMark);
  source.SetEventChar('\r');
  source.SetDiscardNull(true);
  source.Parity()->SetCheck(true);
  source.Parity()->SetReplace(true);
  source.Parity()->SetReplaceChar('?');
  source.Buffer()->SetInputSize(4096);
  source.Buffer()->SetOutputSize(512);
  source.Timeouts()->SetReadInterval(5);
  source.Timeouts()->SetReadTotalConstant(6);
  source.Timeouts()->SetReadTotalMultiplier(7);
  source.Timeouts()->SetWriteTotalConstant(8);
  source.Timeouts()->SetWriteTotalMultiplier(9);
  source.FlowControl()->SetControlRTS(rtsToggle);
  source.FlowControl()->SetControlDTR(dtrHandshake);
  source.FlowControl()->SetDSRSensitivity(true);
  source.FlowControl()->SetOutCTSFlow(true);
  source.FlowControl()->SetOutDSRFlow(true);
  source.FlowControl()->SetTxContinueOnXoff(true);
  source.FlowControl()->SetXonXoffIn(true);
  source.FlowControl()->SetXonXoffOut(true);
  source.FlowControl()->SetXonChar('\x01');
  source.FlowControl()->SetXoffChar(static_cast<char>(0xFE));

  auto same = [&](TComPort& copy) {
    EXPECT_EQ(copy.Port(), "/dev/ttyUSB3");
    EXPECT_EQ(copy.DeviceControlBlock().BaudRate, 250000u);
    const DCB got = copy.DeviceControlBlock(), wanted = source.DeviceControlBlock();
    EXPECT_EQ(std::memcmp(&got, &wanted, sizeof(DCB)), 0);
    EXPECT_EQ(copy.Buffer()->OutputSize(), 512);
    EXPECT_EQ(copy.Timeouts()->ReadInterval(), 5);
    EXPECT_EQ(copy.Timeouts()->ReadTotalConstant(), 6);
    EXPECT_EQ(copy.Timeouts()->ReadTotalMultiplier(), 7);
    EXPECT_EQ(copy.Timeouts()->WriteTotalConstant(), 8);
    EXPECT_EQ(copy.Timeouts()->WriteTotalMultiplier(), 9);
  };

  {
    TIniFile ini(IniPath());
    source.SaveToIniFile(ini);
  }
  TComPort fromIni(nullptr);
  fromIni.SetName("ComPort1");
  fromIni.SetSettingGroups(AllGroups);
  TIniFile reread(IniPath());
  fromIni.LoadFromIniFile(reread);
  same(fromIni);

  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Quorvel\\ComPort1", true));
  source.SaveToRegistry(reg);
  TComPort fromRegistry(nullptr);
  fromRegistry.SetSettingGroups(AllGroups);
  TRegistry again;
  ASSERT_TRUE(again.OpenKey("Software\\Quorvel\\ComPort1", false));
  fromRegistry.LoadFromRegistry(again);
  same(fromRegistry);
  EXPECT_EQ(again.ReadInteger("CustomBaudRate"), 250000);
}

TEST_F(PortSettingsStoreTest, TheRegistryReadsWithoutDefaults) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Empty", true));
  port.LoadFromRegistry(reg);  // absent texts read empty and fall back
  EXPECT_EQ(port.Port(), "");
  EXPECT_EQ(port.BaudRate(), br9600);
  port.SetSettingGroups({sgBuffer});
  EXPECT_THROW(port.LoadFromRegistry(reg), ERegistryException) << "an absent integer cannot be read";
}

}  // namespace
