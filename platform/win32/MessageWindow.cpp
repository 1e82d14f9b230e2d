#include "platform/MessageWindow.h"

#include <memory>

#include "platform/win32/WindowsHeader.h"

namespace platform {

namespace {

const char ClassName[] = "QuorvelMessageWindow";

// The handler is attached once the window exists; what the system sends while it is being made
// or destroyed takes the default way.
::LRESULT CALLBACK WindowProcedure(HWND window, ::UINT msg, ::WPARAM wParam, ::LPARAM lParam) {
  if (auto* handler = reinterpret_cast<MessageHandler*>(GetWindowLongPtrA(window, GWLP_USERDATA)))
    return (*handler)(msg, wParam, lParam);
  return ::DefWindowProcA(window, msg, wParam, lParam);
}

// The module that holds this code: the class belongs to it, not to the host's program.
HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&WindowProcedure), &module);
  return module;
}

bool RegisterOnce() {
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &WindowProcedure;
    windowClass.hInstance = ThisModule();
    windowClass.lpszClassName = ClassName;
    return RegisterClassA(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

}  // namespace

WindowHandle CreateMessageWindow(MessageHandler handler) {
  if (!RegisterOnce()) return nullptr;
  HWND window = CreateWindowExA(0, ClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ThisModule(), nullptr);
  if (!window) return nullptr;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new MessageHandler(std::move(handler))));
  return window;
}

void DestroyMessageWindow(WindowHandle window) {
  HWND native = static_cast<HWND>(window);
  std::unique_ptr<MessageHandler> handler(reinterpret_cast<MessageHandler*>(GetWindowLongPtrA(native, GWLP_USERDATA)));
  SetWindowLongPtrA(native, GWLP_USERDATA, 0);
  DestroyWindow(native);
}

platform::LRESULT SendWindowMessage(WindowHandle window, platform::UINT msg, platform::WPARAM wParam,
                                    platform::LPARAM lParam) {
  return ::SendMessageA(static_cast<HWND>(window), msg, wParam, lParam);
}

platform::BOOL InSentMessage() { return ::InSendMessage(); }

platform::BOOL ReplySentMessage(platform::LRESULT result) {
  // The sender is released once: a second reply finds nobody waiting (the system itself would
  // say yes again, since the thread is still inside the sent message).
  const ::DWORD state = InSendMessageEx(nullptr);
  if ((state & ISMEX_SEND) == 0 || (state & ISMEX_REPLIED) != 0) return FALSE;
  return ::ReplyMessage(result);
}

platform::LRESULT DefaultWindowProcedure(WindowHandle window, platform::UINT msg, platform::WPARAM wParam,
                                         platform::LPARAM lParam) {
  return ::DefWindowProcA(static_cast<HWND>(window), msg, wParam, lParam);
}

}  // namespace platform
