#include "runtime/forms/ComboBox.h"


int TComboBox::ItemIndex() const { return FItemIndex >= 0 && FItemIndex < FItems.Count() ? FItemIndex : -1; }

void TComboBox::SetItemIndex(int Value) {
  FItemIndex = Value >= 0 && Value < FItems.Count() ? Value : -1;
  if (FItemIndex >= 0) FEditText = FItems.Strings(FItemIndex);
}

std::string TComboBox::Text() const {
  if (Editable()) return FEditText;
  const int index = ItemIndex();
  return index >= 0 ? FItems.Strings(index) : std::string();
}

void TComboBox::SetText(const std::string& Value) {
  const int index = FItems.IndexOf(Value);
  if (Editable()) {
    FEditText = Value;
    FItemIndex = index;
  } else if (index >= 0) {
    SetItemIndex(index);
  }
}

void TComboBox::UserSelect(int Index) {
  SetItemIndex(Index);
  Change();
}

void TComboBox::UserType(const std::string& Value) {
  if (!Editable()) return;
  FEditText = Value;
  FItemIndex = FItems.IndexOf(Value);
  Change();
}

void TComboBox::Change() {
  if (FOnChange) FOnChange(this);
}

bool TComboBox::ReadProperty(const std::string& Name, const std::string& Value) {
  static const char* const Styles[] = {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed",
                                       "csOwnerDrawVariable"};
  if (Name == "Style")
    SetStyle(static_cast<TComboBoxStyle>(StoredChoice(Name, Value, Styles)));
  else if (Name == "ItemIndex")
    SetItemIndex(StoredInteger(Name, Value));
  else if (Name == "Text")
    SetText(Value);
  else if (Name == "DropDownCount")
    SetDropDownCount(StoredInteger(Name, Value));
  else if (Name == "ItemHeight")
    FItemHeight = StoredInteger(Name, Value);
  else if (Name == "Items.Strings")
    Items().Add(Value);
  else
    return TControl::ReadProperty(Name, Value);
  return true;
}
