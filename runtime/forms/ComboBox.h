// The framework's combo box as a model: an item list, the selected index, the text, a style
// that says whether the user may type, and the Change hook that a user's pick runs.
#pragma once

#include <string>

#include "runtime/StringList.h"
#include "runtime/forms/Control.h"

enum TComboBoxStyle : std::uint8_t { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TComboBox : public TControl {
 public:
  explicit TComboBox(TComponent* AOwner) : TControl(AOwner) {}

  TStringList& Items() { return FItems; }
  const TStringList& Items() const { return FItems; }
  // -1 when nothing is selected (also when the item it named has gone from the list).
  int ItemIndex() const;
  // An index outside the list selects nothing. Never runs Change.
  void SetItemIndex(int Value);
  // The edit text where the user may type; otherwise the selected item's text.
  virtual std::string Text() const;
  // Where the user may type: the edit text, and the item it matches, if any, is selected.
  // Otherwise: selects the item the text matches; a text that matches none changes nothing.
  virtual void SetText(const std::string& Value);
  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle Value) { FStyle = Value; }
  bool Editable() const { return FStyle == csDropDown || FStyle == csSimple; }
  int ItemHeight() const { return FItemHeight; }
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int Value) { FDropDownCount = Value; }
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent Handler) { FOnChange = std::move(Handler); }

  // What a user does, as a runner reports it: picks the item at Index, or types free text
  // (editable styles only). Both run Change.
  void UserSelect(int Index);
  void UserType(const std::string& Value);

  bool ReadProperty(const std::string& Name, const std::string& Value) override;

 protected:
  // Runs after the user's pick; fires OnChange.
  virtual void Change();

 private:
  TStringList FItems;
  int FItemIndex = -1;
  std::string FEditText;
  TComboBoxStyle FStyle = csDropDown;
  int FDropDownCount = 8;
  int FItemHeight = 16;
  TNotifyEvent FOnChange;
};
