// File permissions that hold for the test even when it runs as root.
#pragma once

#include <fcntl.h>
#include <sys/fsuid.h>
#include <unistd.h>

#include <filesystem>

// Root reads and writes any file and folder whatever its mode, so a read-only folder or an
// unreadable file stops nothing. As root, the calling thread alone does its file access as the
// unprivileged user `nobody` for the scope of this object: the filesystem user id is
// per-thread, and away from 0 it gives up the permission override. Any other user is already
// bound by the permissions and nothing changes.
class UnprivilegedFileAccess {
 public:
  UnprivilegedFileAccess() : switched_(geteuid() == 0) {
    if (switched_) setfsuid(Nobody);
  }
  ~UnprivilegedFileAccess() {
    if (switched_) setfsuid(0);
  }
  UnprivilegedFileAccess(const UnprivilegedFileAccess&) = delete;
  UnprivilegedFileAccess& operator=(const UnprivilegedFileAccess&) = delete;

  // Whether the calling thread may create a file in `folder` / read `file`, as it stands.
  static bool CanCreateIn(const std::filesystem::path& folder) {
    const std::filesystem::path probe = folder / "probe";
    const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    close(fd);
    unlink(probe.c_str());
    return true;
  }
  static bool CanRead(const std::filesystem::path& file) {
    const int fd = open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    close(fd);
    return true;
  }

 private:
  static constexpr uid_t Nobody = 65534;
  bool switched_;
};
