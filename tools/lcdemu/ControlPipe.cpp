#include "tools/lcdemu/ControlPipe.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "tools/lcdemu/SystemError.h"

ControlPipe::ControlPipe(const std::string& path) : path_(path) {
  try {
    if (mkfifo(path.c_str(), 0600) == 0)
      created_ = true;
    else if (errno != EEXIST)
      RaiseSystemError("cannot make the control pipe " + path);
    struct stat found {};
    if (lstat(path.c_str(), &found) != 0) RaiseSystemError("cannot find the control pipe " + path);
    if (!S_ISFIFO(found.st_mode)) RaiseSystemError(path + " exists and is not a named pipe", EEXIST);
    reader_ = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (reader_ < 0) RaiseSystemError("cannot open the control pipe " + path);
    writer_ = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (writer_ < 0) RaiseSystemError("cannot open the control pipe " + path);
  } catch (...) {
    Release();
    throw;
  }
}

ControlPipe::~ControlPipe() { Release(); }

std::string ControlPipe::Take() {
  std::string taken;
  char buffer[512];
  for (ssize_t n; (n = read(reader_, buffer, sizeof buffer)) > 0;) taken.append(buffer, static_cast<std::size_t>(n));
  return taken;
}

void ControlPipe::Release() noexcept {
  if (writer_ >= 0) close(writer_);
  if (reader_ >= 0) close(reader_);
  writer_ = reader_ = -1;
  if (created_) unlink(path_.c_str());
  created_ = false;
}
