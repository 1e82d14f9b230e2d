#include "platform/Files.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "platform/posix/ErrnoMapping.h"

namespace platform {

namespace {

DWORD FileError(int error) { return posix::OpenErrorFromErrno(error); }

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* user = getpwuid(getuid()); user && user->pw_dir) return user->pw_dir;
  return "/";
}

bool WriteAll(int fd, const std::string& contents) {
  std::size_t done = 0;
  while (done < contents.size()) {
    const ssize_t n = write(fd, contents.data() + done, contents.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// The value of `NAME="..."` in a user-dirs file, with $HOME expanded; empty when absent. The
// file is read as settings files are, so one that is a named pipe or huge is not waited for.
std::string UserDir(const std::string& file, const std::string& name) {
  std::string contents;
  if (ReadWholeFile(file, contents) != ERROR_SUCCESS) return {};
  std::istringstream in(contents);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(name + "=", 0) != 0) continue;
    std::string value = line.substr(name.size() + 1);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) value = HomeFolder() + value.substr(5);
    if (!value.empty() && value.front() == '/') return value;
  }
  return {};
}

}  // namespace

DWORD ReadWholeFile(const std::string& path, std::string& contents) {
  // Without O_NONBLOCK, opening a named pipe nobody writes to would block for ever; what is
  // not a regular file is refused below before anything is read.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? ERROR_FILE_NOT_FOUND : FileError(errno);
  struct stat st {};
  if (fstat(fd, &st) == 0 && !S_ISREG(st.st_mode)) {
    close(fd);
    return ERROR_FILE_NOT_FOUND;
  }
  if (st.st_size < 0 || static_cast<std::uintmax_t>(st.st_size) > MaximumWholeFile) {
    close(fd);
    return ERROR_FILE_TOO_LARGE;
  }
  contents.clear();
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const DWORD error = FileError(errno);
      close(fd);
      return error;
    }
    if (n == 0) break;
    if (contents.size() + static_cast<std::size_t>(n) > MaximumWholeFile) {  // it grew while being read
      close(fd);
      contents.clear();
      return ERROR_FILE_TOO_LARGE;
    }
    contents.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  return ERROR_SUCCESS;
}

DWORD ReplaceFile(const std::string& path, const std::string& contents) {
  namespace fs = std::filesystem;
  const fs::path target(path);
  std::error_code error;
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), error);
  if (error) return FileError(error.value());
  std::string temporary = path + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return FileError(errno);
  struct stat existing {};
  fchmod(fd, stat(path.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0644);
  const bool written = WriteAll(fd, contents) && fsync(fd) == 0;
  const int writeError = errno;
  if (close(fd) != 0 || !written) {
    unlink(temporary.c_str());
    return FileError(written ? errno : writeError);
  }
  if (rename(temporary.c_str(), path.c_str()) != 0) {
    const int renameError = errno;
    unlink(temporary.c_str());
    return FileError(renameError);
  }
  return ERROR_SUCCESS;
}

FileLock::FileLock(const std::string& path) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  handle_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (handle_ < 0) {
    error_ = FileError(errno);
    return;
  }
  while (flock(static_cast<int>(handle_), LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    error_ = FileError(errno);
    close(static_cast<int>(handle_));
    handle_ = -1;
    return;
  }
}

FileLock::~FileLock() {
  if (handle_ >= 0) close(static_cast<int>(handle_));  // closing releases the lock
}

std::string ConfigurationFolder() {
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/') return config;
  return HomeFolder() + "/.config";
}

std::string DocumentsFolder() {
  const std::string named = UserDir(ConfigurationFolder() + "/user-dirs.dirs", "XDG_DOCUMENTS_DIR");
  return named.empty() ? HomeFolder() + "/Documents" : named;
}

std::string FileInFolder(const std::string& folder, const std::string& name) { return folder + "/" + name; }

std::string ErrorText(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND: return "file not found";
    case ERROR_PATH_NOT_FOUND: return "path not found";
    case ERROR_ACCESS_DENIED: return "access denied";
    case ERROR_NOT_ENOUGH_MEMORY: return "not enough memory";
    case ERROR_FILENAME_EXCED_RANGE: return "name too long";
    case ERROR_DISK_FULL: return "disk full";
    case ERROR_WRITE_PROTECT: return "read-only file system";
    case ERROR_FILE_TOO_LARGE: return "file too large";
    default: return "system error " + std::to_string(error);
  }
}

}  // namespace platform
