// A form: the top-level window model. ShowModal hands it to the installed form runner, which
// shows it until a button (or the window's closing) sets a modal result.
#pragma once

#include <memory>

#include "runtime/forms/Button.h"
#include "runtime/forms/Control.h"

enum TFormBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TPosition : std::uint8_t {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter,
};

class TFormRunner;

class TForm : public TControl {
 public:
  explicit TForm(TComponent* AOwner) : TControl(AOwner) {}

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value) { FBorderStyle = Value; }
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }
  int ClientWidth() const { return FClientWidth; }
  int ClientHeight() const { return FClientHeight; }
  void SetClientSize(int AWidth, int AHeight);

  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  // Shows the form through the form runner and returns its modal result (mrCancel when the
  // user closed the window).
  TModalResult ShowModal();
  TModalResult ShowModal(TFormRunner& Runner);

  // The form's controls in tab order: those with a tab order, by it, depth first through
  // containers.
  std::vector<TControl*> TabOrderedControls() const;
  // The button Enter or Esc presses, or nullptr.
  TButton* DefaultButton() const;
  TButton* CancelButton() const;

  bool ReadProperty(const std::string& Name, const std::string& Value) override;

 private:
  TFormBorderStyle FBorderStyle = bsSizeable;
  TPosition FPosition = poDesigned;
  int FClientWidth = 0, FClientHeight = 0;
  TModalResult FModalResult = mrNone;
};

// The form that a control sits on, or nullptr.
TForm* ParentForm(const TControl& Control);

// Shows forms modally: a real window, a terminal form, or a test's script.
class TFormRunner {
 public:
  virtual ~TFormRunner() = default;
  // Shows the form until its ModalResult is set; returns it.
  virtual TModalResult ShowModal(TForm& Form) = 0;
};

// The runner ShowModal uses; Install returns the one it replaces (nullptr: none installed,
// and ShowModal raises Exception).
TFormRunner* InstallFormRunner(TFormRunner* Runner);
TFormRunner* CurrentFormRunner();
