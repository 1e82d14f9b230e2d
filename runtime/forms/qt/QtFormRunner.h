// Shows a form model as a real Qt Widgets dialog: its geometry at 96 dpi, its captions decoded
// from Windows-1251, its fonts, tab order, Default and Cancel buttons. What the user picks or
// types goes into the model as it happens; the button pressed gives the modal result.
#pragma once

#include <functional>

#include "runtime/forms/Form.h"

class QDialog;

class TQtFormRunner : public TFormRunner {
 public:
  // Runs once the dialog is on screen (tests use it to press keys or take a picture).
  std::function<void(QDialog& Dialog)> OnShown;

  // Creates the application object when the host has none.
  TModalResult ShowModal(TForm& Form) override;
};
