// Windows that only receive messages, owned by the main thread, for the system's own way of
// handing a message from another thread to the main thread (Windows: message-only windows
// served by the main thread's message loop and by its waits).
#pragma once

#include <functional>

#include "platform/Win32Types.h"

namespace platform {

using WindowHandle = void*;
// Runs on the main thread for each message; must not throw.
using MessageHandler = std::function<LRESULT(UINT msg, WPARAM wParam, LPARAM lParam)>;

// Must be called on the main thread; null when no window can be made.
WindowHandle CreateMessageWindow(MessageHandler handler);
void DestroyMessageWindow(WindowHandle window);
// From the window's thread the handler runs at once; from another thread the call returns when
// the window's thread has run it or the handler has replied. 0 for a window that is gone.
LRESULT SendWindowMessage(WindowHandle window, UINT msg, WPARAM wParam, LPARAM lParam);
// True inside a handler for a message sent by another thread.
BOOL InSentMessage();
// Releases the waiting sender with `result`; false when nobody waits.
BOOL ReplySentMessage(LRESULT result);
// What a window does with a message its handler leaves alone.
LRESULT DefaultWindowProcedure(WindowHandle window, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace platform
