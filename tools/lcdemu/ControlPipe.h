// The control file of the emulated display: a named pipe that scripts and tests write keys
// into (`printf A > PATH`). The emulator creates it when it is not there, and holds it open
// for writing itself, so writers that come and go never end it.
#pragma once

#include <string>

class ControlPipe {
 public:
  // Raises std::system_error when the pipe cannot be made or opened, or when something
  // other than a named pipe is at `path`.
  explicit ControlPipe(const std::string& path);
  ~ControlPipe();
  ControlPipe(const ControlPipe&) = delete;
  ControlPipe& operator=(const ControlPipe&) = delete;

  int Fd() const { return reader_; }
  // What has been written since the last call.
  std::string Take();

 private:
  void Release() noexcept;

  std::string path_;
  bool created_ = false;
  int reader_ = -1;
  int writer_ = -1;
};
