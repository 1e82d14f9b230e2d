// Where a dialog can be shown: a display server that answers, or the controlling terminal.
#pragma once

#include <memory>
#include <string>

namespace platform {

// True when a window can be shown: a Qt platform was named (QT_QPA_PLATFORM), or the X or
// Wayland server that DISPLAY or WAYLAND_DISPLAY names accepts a connection.
bool DisplayReachable();

// The process's controlling terminal, for forms shown as text.
class Terminal {
 public:
  // nullptr when the process has none (a daemon, a CI job without a tty).
  static std::unique_ptr<Terminal> OpenControlling();
  ~Terminal();
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;

  void Write(const std::string& Text);
  // One line without its line break; false at the end of input.
  bool ReadLine(std::string& Line);

 private:
  explicit Terminal(int fd) : fd_(fd) {}
  int fd_;
};

}  // namespace platform
