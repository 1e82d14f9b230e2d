// Keys typed on the terminal of the live view: while the emulator runs in the foreground of a
// terminal, that terminal hands over each key as it is typed, without echo; its settings are
// put back at the end. Ctrl-C still ends the emulator.
#pragma once

#include <termios.h>

class TypedKeys {
 public:
  TypedKeys();
  ~TypedKeys();
  TypedKeys(const TypedKeys&) = delete;
  TypedKeys& operator=(const TypedKeys&) = delete;

  // Standard input, or -1 when typed keys cannot be read (no terminal, or not in the foreground).
  int Fd() const { return fd_; }
  // Standard input has ended: it is no longer read.
  void Stop() { fd_ = -1; }

 private:
  int fd_ = -1;
  bool changed_ = false;
  termios saved_{};
};
