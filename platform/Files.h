// Whole-file reads and replacements, and the user's folders, for settings files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Win32Types.h"

namespace platform {

// ERROR_SUCCESS with the contents, ERROR_FILE_NOT_FOUND for a file that is not there or is
// not a regular file (a folder, a device, a named pipe: none of them is read or waited for),
// ERROR_FILE_TOO_LARGE for one longer than MaximumWholeFile, or another code for one that
// cannot be read.
DWORD ReadWholeFile(const std::string& path, std::string& contents);
// Far more than any settings file holds; reading more whole would only exhaust the memory.
constexpr std::size_t MaximumWholeFile = std::size_t{64} << 20;
// Replaces the file in one step: the new contents are written beside it, flushed to disk, and
// renamed over it, so an interrupted save leaves the old file or the new one, never a part.
// Missing folders on the way are created. ERROR_SUCCESS or the failure's code.
DWORD ReplaceFile(const std::string& path, const std::string& contents);

// Holds an exclusive lock on a lock file (created when missing) from construction to
// destruction, so processes that change the same files take turns. Waits for the lock.
class FileLock {
 public:
  explicit FileLock(const std::string& path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  // ERROR_SUCCESS when the lock is held.
  DWORD Error() const { return error_; }

 private:
  std::intptr_t handle_ = -1;  // a file descriptor on Linux, a file handle on Windows
  DWORD error_ = ERROR_SUCCESS;
};

// The user's documents folder, without a separator at its end. Linux: XDG_DOCUMENTS_DIR as the
// user-dirs file of the configuration folder names it, else $HOME/Documents. Windows: the
// personal folder of the shell.
std::string DocumentsFolder();
// The user's configuration folder: $XDG_CONFIG_HOME, else $HOME/.config (Windows: the roaming
// application-data folder).
std::string ConfigurationFolder();
// A file in a folder, joined with the system's separator.
std::string FileInFolder(const std::string& folder, const std::string& name);
// The text of a system error code, for messages.
std::string ErrorText(DWORD error);

}  // namespace platform
