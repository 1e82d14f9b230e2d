#include "tools/lcdemu/TypedKeys.h"

#include <unistd.h>

TypedKeys::TypedKeys() {
  // A process in the background of its terminal would be stopped for reading it.
  if (!isatty(STDIN_FILENO) || tcgetpgrp(STDIN_FILENO) != getpgrp()) return;
  if (tcgetattr(STDIN_FILENO, &saved_) != 0) return;
  termios keys = saved_;
  keys.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
  keys.c_cc[VMIN] = 1;
  keys.c_cc[VTIME] = 0;
  if (tcsetattr(STDIN_FILENO, TCSANOW, &keys) != 0) return;
  changed_ = true;
  fd_ = STDIN_FILENO;
}

TypedKeys::~TypedKeys() {
  if (changed_) tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
}
