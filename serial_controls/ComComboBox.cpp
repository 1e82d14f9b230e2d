#include "serial_controls/ComComboBox.h"


TComComboBox::TComComboBox(TComponent* AOwner) : TComboBox(AOwner), FComSelect(std::make_unique<TComSelect>()) {
  FComSelect->SetItems(&Items());
  SetStyle(csDropDownList);
}

TComComboBox::~TComComboBox() = default;

void TComComboBox::SetComProperty(TComProperty Value) {
  FComSelect->FillItems(Value);
  if (Items().Count() == 0) return;
  if (ComPort())
    ShowPortValue();
  else
    SetItemIndex(0);
}

void TComComboBox::SetComPort(TCustomComPort* Value) {
  if (Value == ComPort()) return;
  FComSelect->SetComPort(Value);
  if (!Value) return;
  Value->FreeNotification(this);
  ShowPortValue();
}

void TComComboBox::ShowPortValue() {
  int index = -1;
  FComSelect->ReadPortValue(index);
  SetItemIndex(index);
}

std::string TComComboBox::Text() const {
  const int index = ItemIndex();
  return index >= 0 ? Items().Strings(index) : std::string();
}

void TComComboBox::SetText(const std::string& Value) {
  const int index = Items().IndexOf(Value);
  if (index >= 0) SetItemIndex(index);
}

void TComComboBox::Change() {
  // The port holds the new value (with AutoApply) before OnChange handlers run.
  FComSelect->StoreText(Text());
  TComboBox::Change();
}

void TComComboBox::Notification(TComponent* AComponent, TOperation Operation) {
  TComboBox::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent && AComponent == ComPort()) {
    FComSelect->SetComPort(nullptr);
    if (Items().Count() > 0) SetItemIndex(0);
  }
}

bool TComComboBox::ReadProperty(const std::string& Name, const std::string& Value) {
  static const char* const Properties[] = {"cpNone",     "cpPort",   "cpBaudRate",   "cpDataBits",
                                           "cpStopBits", "cpParity", "cpFlowControl"};
  if (Name == "ComProperty")
    SetComProperty(static_cast<TComProperty>(StoredChoice(Name, Value, Properties)));
  else if (Name == "AutoApply")
    SetAutoApply(StoredBoolean(Name, Value));
  else
    return TComboBox::ReadProperty(Name, Value);
  return true;
}
