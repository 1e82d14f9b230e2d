// A thread of the operating system running one function (Linux: a POSIX thread; Windows: a
// Windows thread started through the C runtime).
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

class SystemThread {
 public:
  // Starts `body` at once; raises std::system_error when no thread can be had. The body must
  // not throw.
  explicit SystemThread(std::function<void()> body);
  // Joins the thread if nobody has.
  ~SystemThread();
  SystemThread(const SystemThread&) = delete;
  SystemThread& operator=(const SystemThread&) = delete;

  // Waits for the body to return; at most once.
  void Join();
  bool Joinable() const { return joinable_; }

 private:
  std::uintptr_t handle_ = 0;
  bool joinable_ = false;
};

}  // namespace platform
