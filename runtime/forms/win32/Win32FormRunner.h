// Shows a form model as a native Windows dialog: its geometry (pixels at 96 dpi), captions
// (Windows-1251), fonts, tab order, Default (Enter) and Cancel (Esc) buttons. What the user
// picks or types goes into the model as it happens; the button pressed gives the modal result.
//
// Files: Win32FormRunner.cpp runs the modal loop; FormWindow.cpp builds the windows of the
// form's controls and turns their notifications into the model's events. All of it runs on the
// thread that calls ShowModal.
#pragma once

#include <functional>

#include "runtime/forms/Form.h"

class TWin32FormRunner : public TFormRunner {
 public:
  // Runs once the dialog is on screen, with its window (an HWND), e.g. for a test to press keys
  // or take a picture.
  std::function<void(void* Window)> OnShown;

  // The dialog is modal to the calling thread's active window, centred on it (or on the
  // screen). Raises Exception when the window cannot be made.
  TModalResult ShowModal(TForm& Form) override;
};
