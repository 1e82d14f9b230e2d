#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "platform/PortEnumeration.h"
#include "serial_controls/CPortCtl.h"
#include "tests/support/FakePlatform.h"

namespace {

namespace fs = std::filesystem;

class ComComboBoxTest : public ::testing::Test {
 protected:
  fake::ScopedFakePlatform fake;  // a bound port that opens talks to the fake
  TComComboBox combo{nullptr};
  TComPort port{nullptr};
};

TEST_F(ComComboBoxTest, ANewComboBoxOffersNothingAndOnlyLetsTheUserPick) {
  EXPECT_EQ(combo.ComProperty(), cpNone);
  EXPECT_EQ(combo.Items().Count(), 0);
  EXPECT_EQ(combo.Style(), csDropDownList);
  EXPECT_EQ(combo.ComPort(), nullptr);
  EXPECT_FALSE(combo.AutoApply());
  EXPECT_EQ(combo.Text(), "");
}

TEST_F(ComComboBoxTest, EachPropertyOffersItsValuesInOrdinalOrder) {
  combo.SetComProperty(cpBaudRate);
  ASSERT_EQ(combo.Items().Count(), 16);
  EXPECT_EQ(combo.ItemIndex(), 0);
  EXPECT_EQ(combo.Text(), "Custom");
  EXPECT_EQ(combo.Items().Strings(7), "9600");
  combo.SetComProperty(cpStopBits);
  EXPECT_EQ(combo.Items().Items(), (std::vector<std::string>{"1", "1.5", "2"}));
  combo.SetComProperty(cpParity);
  EXPECT_EQ(combo.Items().Items(), (std::vector<std::string>{"None", "Odd", "Even", "Mark", "Space"}));
  combo.SetComProperty(cpFlowControl);
  EXPECT_EQ(combo.Items().Items(), (std::vector<std::string>{"Hardware", "Software", "None", "Custom"}));
  combo.SetComProperty(cpDataBits);
  EXPECT_EQ(combo.Items().Count(), 4);
  combo.SetComProperty(cpNone);
  EXPECT_EQ(combo.Items().Count(), 0);
  EXPECT_EQ(combo.ItemIndex(), -1);
}

TEST_F(ComComboBoxTest, ABoundPortSelectsItsPresentValue) {
  port.SetBaudRate(br19200);
  combo.SetComPort(&port);
  combo.SetComProperty(cpBaudRate);
  EXPECT_EQ(combo.ItemIndex(), 9);
  EXPECT_EQ(combo.ComSelect().BaudRate(), br19200);
  port.FlowControl()->SetFlowControl(fcSoftware);
  combo.SetComProperty(cpFlowControl);
  EXPECT_EQ(combo.Text(), "Software");
}

TEST_F(ComComboBoxTest, APortNameThatIsNotInstalledSelectsNothing) {
  const fs::path tty = fs::temp_directory_path() / ("combo-tty-" + std::to_string(getpid()));
  fs::create_directories(tty / "ttyUSB0" / "device");
  platform::SetDefaultPortSources({tty.string(), (tty / "none").string()});
  port.SetPort("COM99");
  combo.SetComPort(&port);
  combo.SetComProperty(cpPort);
  EXPECT_EQ(combo.Items().Items(), std::vector<std::string>{"ttyUSB0"});
  EXPECT_EQ(combo.ItemIndex(), -1);
  port.SetPort("ttyusb0");  // the list's look-up ignores letter case
  combo.SetComProperty(cpPort);
  EXPECT_EQ(combo.ItemIndex(), 0);
  platform::SetDefaultPortSources({});
  fs::remove_all(tty);
}

TEST_F(ComComboBoxTest, APickIsAppliedBeforeOnChangeOnlyWithAutoApply) {
  combo.SetComProperty(cpBaudRate);
  combo.SetComPort(&port);
  TBaudRate seen = brCustom;
  combo.SetOnChange([&](TObject* sender) {
    EXPECT_EQ(sender, &combo);
    seen = port.BaudRate();
  });
  combo.UserSelect(combo.Items().IndexOf("57600"));
  EXPECT_EQ(seen, br9600) << "without AutoApply the port is left alone";
  EXPECT_EQ(combo.ComSelect().BaudRate(), br57600);
  combo.SetAutoApply(true);
  combo.UserSelect(combo.Items().IndexOf("57600"));
  EXPECT_EQ(seen, br57600);
}

TEST_F(ComComboBoxTest, SettingTextOnlySelectsAMatchingItem) {
  combo.SetComProperty(cpBaudRate);
  combo.SetComPort(&port);
  combo.SetAutoApply(true);
  bool changed = false;
  combo.SetOnChange([&](TObject*) { changed = true; });
  combo.SetText("custom");
  EXPECT_EQ(combo.Text(), "Custom");
  combo.SetText("100");
  EXPECT_EQ(combo.Text(), "Custom");
  EXPECT_FALSE(changed);
  EXPECT_EQ(port.BaudRate(), br9600) << "setting Text applies nothing";
}

TEST_F(ComComboBoxTest, DestroyingTheBoundPortUnbindsItAndSelectsTheFirstItem) {
  auto* doomed = new TComPort(nullptr);
  doomed->SetBaudRate(br115200);
  combo.SetComProperty(cpBaudRate);
  combo.SetComPort(doomed);
  ASSERT_EQ(combo.Text(), "115200");
  delete doomed;
  EXPECT_EQ(combo.ComPort(), nullptr);
  EXPECT_EQ(combo.ItemIndex(), 0);
  EXPECT_EQ(combo.ComSelect().BaudRate(), br115200) << "the stored value stays";
}

TEST_F(ComComboBoxTest, RebindingTheSamePortDoesNothingAndUnbindingKeepsTheSelection) {
  combo.SetComProperty(cpBaudRate);
  combo.SetComPort(&port);
  combo.SetItemIndex(3);
  combo.SetComPort(&port);
  EXPECT_EQ(combo.ItemIndex(), 3);
  combo.SetComPort(nullptr);
  EXPECT_EQ(combo.ItemIndex(), 3);
  EXPECT_EQ(combo.Items().Count(), 16);
}

TEST_F(ComComboBoxTest, StoredPropertiesLoadInOrderSoTheItemsComeFirst) {
  LoadStoredProperties(combo, {{"Name", "cbBaudRate"}, {"ComProperty", "cpBaudRate"}, {"Text", "Custom"},
                               {"Style", "csDropDownList"}, {"ItemIndex", "0"}});
  EXPECT_EQ(combo.Name(), "cbBaudRate");
  EXPECT_EQ(combo.Items().Count(), 16);
  EXPECT_EQ(combo.Text(), "Custom");
  EXPECT_FALSE(combo.ComponentState().Contains(csLoading));
  EXPECT_THROW(LoadStoredProperties(combo, {{"ComProperty", "cpColour"}}), Exception);
  EXPECT_THROW(LoadStoredProperties(combo, {{"Colour", "clRed"}}), Exception);
}

}  // namespace
