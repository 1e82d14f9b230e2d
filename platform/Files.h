// Whole-file reads and replacements, and the user's folders, for settings files.
#pragma once

#include <cstddef>
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
  int fd_ = -1;
  DWORD error_ = ERROR_SUCCESS;
};

// The user's documents folder: XDG_DOCUMENTS_DIR as the user-dirs file of the configuration
// folder names it, else $HOME/Documents.
std::string DocumentsFolder();
// The user's configuration folder: $XDG_CONFIG_HOME, else $HOME/.config.
std::string ConfigurationFolder();
// The text of a system error code, for messages.
std::string ErrorText(DWORD error);

}  // namespace platform
