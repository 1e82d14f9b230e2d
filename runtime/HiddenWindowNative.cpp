// The hidden windows as the system's own message-only windows (the Windows build): a message
// sent from another thread reaches the main thread through its message loop, or through its
// waits in the runtime, which deliver sent messages.
#include "runtime/HiddenWindow.h"

#include "platform/MessageWindow.h"
#include "runtime/Application.h"
#include "runtime/Exception.h"

using namespace platform;

HWND AllocateHWnd(TWndMethod Method) {
  HWND window = CreateMessageWindow([Method = std::move(Method)](UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
    TMessage message{msg, wParam, lParam, 0};
    // Nothing may unwind through the system's frames: a failure of the method is reported.
    try {
      Method(message);
    } catch (...) {
      Application().HandleException(nullptr);
    }
    return message.Result;
  });
  // Without its window a port's events would be lost without a word.
  if (!window) throw Exception("A hidden window cannot be made for the messages of another thread");
  return window;
}

void DeallocateHWnd(HWND Wnd) {
  if (Wnd) DestroyMessageWindow(Wnd);
}

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return SendWindowMessage(hWnd, Msg, wParam, lParam);
}

BOOL InSendMessage() { return InSentMessage(); }

BOOL ReplyMessage(LRESULT lResult) { return ReplySentMessage(lResult); }

LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return DefaultWindowProcedure(hWnd, Msg, wParam, lParam);
}
