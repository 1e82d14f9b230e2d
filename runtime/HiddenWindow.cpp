#include "runtime/HiddenWindow.h"

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>

#include "runtime/Application.h"
#include "runtime/MainThread.h"

using namespace platform;

namespace {

struct Window {
  TWndMethod method;
};

class WindowTable {
 public:
  HWND Add(TWndMethod method) {
    std::lock_guard lock(mutex_);
    const auto handle = next_;
    next_ += 4;
    windows_[handle] = std::make_shared<Window>(Window{std::move(method)});
    return reinterpret_cast<HWND>(handle);
  }
  void Remove(HWND wnd) {
    std::lock_guard lock(mutex_);
    windows_.erase(reinterpret_cast<std::uintptr_t>(wnd));
  }
  std::shared_ptr<Window> Find(HWND wnd) {
    std::lock_guard lock(mutex_);
    auto it = windows_.find(reinterpret_cast<std::uintptr_t>(wnd));
    return it == windows_.end() ? nullptr : it->second;
  }

 private:
  std::mutex mutex_;
  std::map<std::uintptr_t, std::shared_ptr<Window>> windows_;
  std::uintptr_t next_ = 0x10000;
};

WindowTable& Windows() {
  static auto* table = new WindowTable;
  return *table;
}

// A message on its way from another thread, and its sender's wait for the reply.
struct CrossThreadSend {
  std::mutex mutex;
  std::condition_variable replied;
  bool released = false;
  LRESULT result = 0;

  bool Release(LRESULT value) {
    {
      std::lock_guard lock(mutex);
      if (released) return false;
      released = true;
      result = value;
    }
    replied.notify_one();
    return true;
  }
};

// The cross-thread send whose handler is running on this (the main) thread, if any.
thread_local CrossThreadSend* currentSend = nullptr;

LRESULT Dispatch(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto window = Windows().Find(wnd);
  if (!window) return 0;
  TMessage message{msg, wParam, lParam, 0};
  window->method(message);
  return message.Result;
}

}  // namespace

HWND AllocateHWnd(TWndMethod Method) { return Windows().Add(std::move(Method)); }

void DeallocateHWnd(HWND Wnd) { Windows().Remove(Wnd); }

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (IsMainThread()) {
    CrossThreadSend* outer = currentSend;
    currentSend = nullptr;  // a send within the same thread has nobody to release
    LRESULT result = 0;
    try {
      result = Dispatch(hWnd, Msg, wParam, lParam);
    } catch (...) {
      currentSend = outer;
      throw;
    }
    currentSend = outer;
    return result;
  }
  auto send = std::make_shared<CrossThreadSend>();
  TMainThreadQueue::Instance().Post([send, hWnd, Msg, wParam, lParam] {
    CrossThreadSend* outer = currentSend;
    currentSend = send.get();
    LRESULT result = 0;
    try {
      result = Dispatch(hWnd, Msg, wParam, lParam);
    } catch (...) {
      // A failure that escapes the window's method must not take the main loop with it, and
      // the sender must still be released.
      Application().HandleException(nullptr);
    }
    currentSend = outer;
    send->Release(result);
  });
  std::unique_lock lock(send->mutex);
  send->replied.wait(lock, [&] { return send->released; });
  return send->result;
}

BOOL InSendMessage() { return currentSend ? TRUE : FALSE; }

BOOL ReplyMessage(LRESULT lResult) { return currentSend && currentSend->Release(lResult) ? TRUE : FALSE; }

LRESULT DefWindowProcA(HWND, UINT, WPARAM, LPARAM) { return 0; }
