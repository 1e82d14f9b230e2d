#include "tests/realdrivers/guest/WriteLog.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>
#include <stdexcept>

extern "C" ssize_t __real_write(int fd, const void* data, size_t size);

namespace realdrivers {

namespace {

std::atomic<bool> recording{false};
std::mutex mutex;
dev_t watched = 0;
std::vector<std::string> writes;

bool IsWatched(int fd) {
  struct stat st {};
  return fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && st.st_rdev == watched;
}

}  // namespace

WriteLog::WriteLog(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) throw std::runtime_error(path + " is not a device");
  std::lock_guard lock(mutex);
  if (recording) throw std::logic_error("one write log at a time");
  watched = st.st_rdev;
  writes.clear();
  recording = true;
}

WriteLog::~WriteLog() { recording = false; }

std::vector<std::string> WriteLog::Writes() const {
  std::lock_guard lock(mutex);
  return writes;
}

}  // namespace realdrivers

extern "C" ssize_t __wrap_write(int fd, const void* data, size_t size) {
  using namespace realdrivers;
  const ssize_t n = __real_write(fd, data, size);
  if (recording) {
    const int saved = errno;
    if (IsWatched(fd)) {
      // A call the kernel took nothing from is recorded too, as an empty write.
      std::lock_guard lock(mutex);
      writes.emplace_back(static_cast<const char*>(data), n > 0 ? static_cast<std::size_t>(n) : 0);
    }
    errno = saved;
  }
  return n;
}
