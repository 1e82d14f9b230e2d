// Where a dialog can be shown: a display server that answers, or the controlling terminal.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// True when a window can be shown. Linux: a Qt platform was named (QT_QPA_PLATFORM), or the X
// or Wayland server that DISPLAY or WAYLAND_DISPLAY names accepts a connection. Windows: the
// process runs on the interactive window station (not as a service).
bool DisplayReachable();

// The process's controlling terminal (Windows: its console), for forms shown as text.
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
  Terminal(std::intptr_t input, std::intptr_t output) : input_(input), output_(output) {}
  // Linux: one descriptor for both; Windows: the console's input and output handles.
  std::intptr_t input_;
  std::intptr_t output_;
};

}  // namespace platform
