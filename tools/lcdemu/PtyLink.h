// The line of the emulated display: a pseudo-terminal whose device side is linked at a path
// that programs open as the display's port. The emulator holds the device side open too, so
// the line stays up between a program's opens and closes, and keeps it raw until a program
// configures it. The link is removed when this ends.
#pragma once

#include <string>

class PtyLink {
 public:
  // Raises std::system_error naming what failed; an existing file at `link` that is not a
  // symbolic link is left alone and is an error.
  explicit PtyLink(const std::string& link);
  ~PtyLink();
  PtyLink(const PtyLink&) = delete;
  PtyLink& operator=(const PtyLink&) = delete;

  // The emulator's side, non-blocking.
  int Fd() const { return master_; }
  const std::string& Device() const { return device_; }

 private:
  void Release() noexcept;

  std::string link_;
  std::string device_;
  int master_ = -1;
  int held_ = -1;
  bool linked_ = false;
};
