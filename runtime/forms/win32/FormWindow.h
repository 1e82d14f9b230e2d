// The windows of a form model's controls (Windows build): the dialog frame, panels, labels,
// combo boxes and buttons, with the form's fonts, and the map back from windows to controls.
#pragma once

#include <exception>
#include <map>
#include <memory>
#include <vector>

#include "runtime/forms/Form.h"
#include "platform/win32/WindowsHeader.h"

class TFormWindow {
 public:
  // Makes the dialog window (hidden) and its controls, in tab order; raises Exception when the
  // system refuses.
  TFormWindow(TForm& Form, HWND Owner);
  ~TFormWindow();
  TFormWindow(const TFormWindow&) = delete;
  TFormWindow& operator=(const TFormWindow&) = delete;

  HWND Handle() const { return FWindow; }
  // The control that takes the focus first, or null.
  HWND FirstTabStop() const { return FFirstTabStop; }
  // Set once a button or the window's closing gave the form a modal result.
  bool Finished() const { return FFinished; }
  // A failure of the model's own code (a handler) while the dialog ran; it ends the dialog.
  const std::exception_ptr& Failure() const { return FFailure; }

 private:
  static LRESULT CALLBACK DialogProcedure(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
  static LRESULT CALLBACK PanelProcedure(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
  LRESULT Command(int Id, int Notification, HWND Control);
  void Press(TButton* Button);
  void Finish(TModalResult Result);
  HWND Build(TControl& Control, HWND Parent, int Id);
  HFONT FontFor(const TControl& Control);

  TForm& FForm;
  HWND FWindow = nullptr;
  HWND FFirstTabStop = nullptr;
  std::map<int, TControl*> FControls;  // by window id
  std::vector<HFONT> FFonts;
  bool FFinished = false;
  std::exception_ptr FFailure;
};
