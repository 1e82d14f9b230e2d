// A combo box that offers the values of one port property and carries the user's choice into
// a bound port. Its items always come from ComProperty; the user only picks.
#pragma once

#include <memory>

#include "runtime/forms/ComboBox.h"
#include "serial_controls/ComSelect.h"

class TComComboBox : public TComboBox {
 public:
  explicit TComComboBox(TComponent* AOwner);
  ~TComComboBox() override;

  TCustomComPort* ComPort() const { return FComSelect->ComPort(); }
  void SetComPort(TCustomComPort* Value);
  TComProperty ComProperty() const { return FComSelect->ComProperty(); }
  void SetComProperty(TComProperty Value);
  bool AutoApply() const { return FComSelect->AutoApply(); }
  void SetAutoApply(bool Value) { FComSelect->SetAutoApply(Value); }
  // The selected item's text, or the empty text.
  std::string Text() const override;
  // Selects the item the text matches, if any; converts and applies nothing.
  void SetText(const std::string& Value) override;

  const TComSelect& ComSelect() const { return *FComSelect; }

  bool ReadProperty(const std::string& Name, const std::string& Value) override;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Change() override;

 private:
  void ShowPortValue();

  std::unique_ptr<TComSelect> FComSelect;
};
