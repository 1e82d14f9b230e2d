// A push button. Clicking one whose ModalResult is not zero closes its modal form with that
// result; the Default button is pressed by Enter, the Cancel button by Esc.
#pragma once

#include "runtime/forms/Control.h"

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;

class TButton : public TControl {
 public:
  explicit TButton(TComponent* AOwner) : TControl(AOwner) {}

  bool Default() const { return FDefault; }
  void SetDefault(bool Value) { FDefault = Value; }
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  const TNotifyEvent& OnClick() const { return FOnClick; }
  void SetOnClick(TNotifyEvent Handler) { FOnClick = std::move(Handler); }

  // What a runner reports when the user presses the button.
  void Click();

  bool ReadProperty(const std::string& Name, const std::string& Value) override;

 private:
  bool FDefault = false;
  bool FCancel = false;
  TModalResult FModalResult = mrNone;
  TNotifyEvent FOnClick;
};
