// Hidden windows bound to a method, and the message calls on them. A message sent from another
// thread is delivered on the main thread while the sender waits (Linux: through the main
// thread's queue, HiddenWindow.cpp; Windows: real message-only windows, HiddenWindowNative.cpp);
// the handler can release the sender early with ReplyMessage.
#pragma once

#include <functional>

#include "platform/Win32Types.h"

using HWND = void*;

constexpr platform::UINT WM_USER = 0x0400;

struct TMessage {
  platform::UINT Msg;
  platform::WPARAM WParam;
  platform::LPARAM LParam;
  platform::LRESULT Result;
};
using TWndMethod = std::function<void(TMessage& Message)>;

// Raises Exception when the system cannot make the window.
HWND AllocateHWnd(TWndMethod Method);
// Messages still on their way to the window are answered with 0.
void DeallocateHWnd(HWND Wnd);

// From the main thread the method runs at once; from another thread the call returns when the
// main thread has run it or the handler has replied.
platform::LRESULT SendMessageA(HWND hWnd, platform::UINT Msg, platform::WPARAM wParam, platform::LPARAM lParam);
// True inside a handler for a message sent by another thread.
platform::BOOL InSendMessage();
// Releases the waiting sender with lResult; the handler goes on. False when nobody waits.
platform::BOOL ReplyMessage(platform::LRESULT lResult);
platform::LRESULT DefWindowProcA(HWND hWnd, platform::UINT Msg, platform::WPARAM wParam, platform::LPARAM lParam);
