#include "platform/Files.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <system_error>

#include "platform/win32/WindowsHeader.h"
#include <shlobj.h>

namespace platform {

namespace {

// A missing file and a missing folder on its way read alike: there is no such file.
DWORD FileError(DWORD error) { return error == ERROR_PATH_NOT_FOUND ? ERROR_FILE_NOT_FOUND : error; }

// A folder of the shell (CSIDL_*), without a separator at its end; empty when it has none.
std::string ShellFolder(int folder) {
  LPITEMIDLIST list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, folder, &list)) || !list) return {};
  char path[MAX_PATH + 1] = {};
  const bool found = SHGetPathFromIDListA(list, path);
  CoTaskMemFree(list);
  if (!found) return {};
  std::string text(path);  // up to the first NUL
  while (text.size() > 3 && (text.back() == '\\' || text.back() == '/')) text.pop_back();
  return text;
}

std::string EnvironmentFolder(const char* name, const char* below) {
  char value[MAX_PATH + 1] = {};
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  if (length == 0 || length >= sizeof value) return ".";
  return FileInFolder(value, below);
}

bool WriteAll(HANDLE file, const std::string& contents) {
  std::size_t done = 0;
  while (done < contents.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size() - done, 1u << 20));
    ::DWORD written = 0;
    if (!::WriteFile(file, contents.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

}  // namespace

DWORD ReadWholeFile(const std::string& path, std::string& contents) {
  // Only a regular file is read: a folder, a device or a pipe is not a settings file.
  const ::DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return FileError(::GetLastError());
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return ERROR_FILE_NOT_FOUND;
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FileError(::GetLastError());
  DWORD result = ERROR_SUCCESS;
  LARGE_INTEGER size{};
  if (GetFileType(file) != FILE_TYPE_DISK) {
    result = ERROR_FILE_NOT_FOUND;
  } else if (!GetFileSizeEx(file, &size)) {
    result = ::GetLastError();
  } else if (static_cast<unsigned long long>(size.QuadPart) > MaximumWholeFile) {
    result = ERROR_FILE_TOO_LARGE;
  } else {
    contents.clear();
    char buffer[65536];
    for (;;) {
      ::DWORD n = 0;
      if (!::ReadFile(file, buffer, sizeof buffer, &n, nullptr)) {
        result = ::GetLastError();
        break;
      }
      if (n == 0) break;
      if (contents.size() + n > MaximumWholeFile) {  // it grew while being read
        result = ERROR_FILE_TOO_LARGE;
        break;
      }
      contents.append(buffer, n);
    }
    if (result != ERROR_SUCCESS) contents.clear();
  }
  ::CloseHandle(file);
  return result;
}

DWORD ReplaceFile(const std::string& path, const std::string& contents) {
  namespace fs = std::filesystem;
  const fs::path target(path);
  std::error_code error;
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), error);
  if (error) return static_cast<DWORD>(error.value());
  // A name of this process's own beside the file, so that two savers never share one.
  static std::atomic<unsigned> serial{0};
  const std::string temporary =
      path + "." + std::to_string(GetCurrentProcessId()) + "." + std::to_string(++serial) + ".tmp";
  HANDLE file = ::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FileError(::GetLastError());
  const bool written = WriteAll(file, contents) && FlushFileBuffers(file);
  const DWORD writeError = written ? ERROR_SUCCESS : ::GetLastError();
  ::CloseHandle(file);
  if (!written) {
    DeleteFileA(temporary.c_str());
    return writeError;
  }
  if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD moveError = ::GetLastError();
    DeleteFileA(temporary.c_str());
    return moveError;
  }
  return ERROR_SUCCESS;
}

FileLock::FileLock(const std::string& path) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error_ = FileError(::GetLastError());
    return;
  }
  ::OVERLAPPED whole{};
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
    error_ = ::GetLastError();
    ::CloseHandle(file);
    return;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
}

FileLock::~FileLock() {
  if (handle_ != -1) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));  // closing releases the lock
}

std::string DocumentsFolder() {
  const std::string folder = ShellFolder(CSIDL_PERSONAL);
  return folder.empty() ? EnvironmentFolder("USERPROFILE", "Documents") : folder;
}

std::string ConfigurationFolder() {
  const std::string folder = ShellFolder(CSIDL_APPDATA);
  return folder.empty() ? EnvironmentFolder("APPDATA", ".") : folder;
}

std::string FileInFolder(const std::string& folder, const std::string& name) {
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) return folder + name;
  return folder + "\\" + name;
}

std::string ErrorText(DWORD error) {
  char* text = nullptr;
  const ::DWORD length =
      FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length && text ? std::string(text, length) : "system error " + std::to_string(error);
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.' ||
                              message.back() == ' '))
    message.pop_back();
  return message;
}

}  // namespace platform
