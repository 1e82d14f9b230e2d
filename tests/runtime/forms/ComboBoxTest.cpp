#include "runtime/forms/ComboBox.h"

#include <gtest/gtest.h>

#include "runtime/Exception.h"

namespace {

class ComboBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* item : {"Alpha", "Beta", "Gamma"}) combo.Items().Add(item);
    combo.SetOnChange([this](TObject*) { changes.push_back(combo.Text()); });
  }
  TComboBox combo{nullptr};
  std::vector<std::string> changes;
};

TEST_F(ComboBoxTest, AListOnlyBoxSelectsMatchingItemsAndIgnoresOtherText) {
  combo.SetStyle(csDropDownList);
  combo.SetText("beta");
  EXPECT_EQ(combo.ItemIndex(), 1);
  EXPECT_EQ(combo.Text(), "Beta");
  combo.SetText("Delta");
  EXPECT_EQ(combo.Text(), "Beta");
  combo.UserType("Delta");
  EXPECT_EQ(combo.Text(), "Beta") << "nothing can be typed into a list-only box";
  EXPECT_TRUE(changes.empty()) << "only a user's pick runs Change";
  combo.SetItemIndex(7);
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(combo.Text(), "");
}

TEST_F(ComboBoxTest, AnEditableBoxTakesFreeTextAndUserActionsRunChange) {
  combo.SetStyle(csDropDown);
  combo.UserType("250000");
  EXPECT_EQ(combo.Text(), "250000");
  EXPECT_EQ(combo.ItemIndex(), -1);
  combo.UserSelect(2);
  EXPECT_EQ(combo.Text(), "Gamma");
  EXPECT_EQ(changes, (std::vector<std::string>{"250000", "Gamma"}));
  combo.Items().Clear();
  EXPECT_EQ(combo.ItemIndex(), -1) << "an index into a list that has gone selects nothing";
}

TEST_F(ComboBoxTest, StoredValuesThatCannotBeReadAreReported) {
  EXPECT_THROW(LoadStoredProperties(combo, {{"ItemIndex", "one"}}), Exception);
  EXPECT_THROW(LoadStoredProperties(combo, {{"Style", "csRound"}}), Exception);
  EXPECT_THROW(LoadStoredProperties(combo, {{"Enabled", "yes"}}), Exception);
  LoadStoredProperties(combo, {{"Style", "csDropDownList"}, {"ItemIndex", "2"}, {"TabOrder", "3"}});
  EXPECT_EQ(combo.Text(), "Gamma");
  EXPECT_EQ(combo.TabOrder(), 3);
}

}  // namespace
