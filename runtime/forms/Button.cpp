#include "runtime/forms/Button.h"

#include "runtime/forms/Form.h"

void TButton::Click() {
  if (FOnClick) FOnClick(this);
  if (FModalResult != mrNone)
    if (TForm* form = ParentForm(*this)) form->SetModalResult(FModalResult);
}

bool TButton::ReadProperty(const std::string& Name, const std::string& Value) {
  if (Name == "Default")
    SetDefault(StoredBoolean(Name, Value));
  else if (Name == "Cancel")
    SetCancel(StoredBoolean(Name, Value));
  else if (Name == "ModalResult")
    SetModalResult(StoredInteger(Name, Value));
  else
    return TControl::ReadProperty(Name, Value);
  return true;
}
