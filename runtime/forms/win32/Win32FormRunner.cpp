#include "runtime/forms/win32/Win32FormRunner.h"

#include "runtime/forms/win32/FormWindow.h"

namespace {

// Where the dialog opens: centred on its owner (the host's window), else on the work area.
void Centre(HWND window, HWND owner) {
  RECT area, own;
  if (owner && IsWindowVisible(owner)) GetWindowRect(owner, &area);
  else SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  GetWindowRect(window, &own);
  const int width = own.right - own.left, height = own.bottom - own.top;
  SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
               area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

TModalResult TWin32FormRunner::ShowModal(TForm& Form) {
  // Modal to the thread's own active window, which stays disabled while the dialog is up.
  HWND owner = GetActiveWindow();
  TFormWindow window(Form, owner);
  Form.SetModalResult(mrNone);
  Centre(window.Handle(), owner);
  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(window.Handle(), SW_SHOW);
  SetForegroundWindow(window.Handle());
  if (HWND first = window.FirstTabStop()) SetFocus(first);
  if (OnShown) OnShown(window.Handle());

  bool quit = false;
  WPARAM quitCode = 0;
  while (!window.Finished()) {
    MSG message;
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {  // WM_QUIT belongs to the host's own loop: end the dialog and pass it on
      quit = got == 0;
      quitCode = message.wParam;
      break;
    }
    if (!IsDialogMessageW(window.Handle(), &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  if (owner) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
  if (quit) PostQuitMessage(static_cast<int>(quitCode));
  if (window.Failure()) std::rethrow_exception(window.Failure());
  return Form.ModalResult() != mrNone ? Form.ModalResult() : mrCancel;
}
