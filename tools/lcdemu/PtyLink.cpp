#include "tools/lcdemu/PtyLink.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "tools/lcdemu/SystemError.h"

PtyLink::PtyLink(const std::string& link) : link_(link) {
  try {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) RaiseSystemError("no pseudo-terminal");
    device_ = ptsname(master_);
    held_ = open(device_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (held_ < 0) RaiseSystemError("cannot open " + device_);
    termios raw{};
    if (tcgetattr(held_, &raw) != 0) RaiseSystemError("cannot read the settings of " + device_);
    cfmakeraw(&raw);
    if (tcsetattr(held_, TCSANOW, &raw) != 0) RaiseSystemError("cannot make " + device_ + " raw");

    struct stat existing {};
    if (lstat(link.c_str(), &existing) == 0) {
      if (!S_ISLNK(existing.st_mode)) RaiseSystemError(link + " exists and is not a link", EEXIST);
      unlink(link.c_str());
    }
    if (symlink(device_.c_str(), link.c_str()) != 0) RaiseSystemError("cannot link " + link);
    linked_ = true;
  } catch (...) {
    Release();
    throw;
  }
}

PtyLink::~PtyLink() { Release(); }

void PtyLink::Release() noexcept {
  if (linked_) unlink(link_.c_str());
  linked_ = false;
  if (held_ >= 0) close(held_);
  if (master_ >= 0) close(master_);
  held_ = master_ = -1;
}
