#include "platform/RegistryStore.h"

#include <charconv>
#include <filesystem>
#include <map>

#include "platform/Files.h"
#include "platform/posix/ErrnoMapping.h"

namespace platform {

namespace {

namespace fs = std::filesystem;

// Each key is a folder <configuration folder>/quorvel/registry/<root>/<parts in lower case>;
// its values are one file in it, and changes take a lock file beside it.
const char* ValuesFile = "values";
const char* LockFile = ".lock";

std::string LowerCase(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string FolderOf(RegistryRoot root, const std::string& path) {
  fs::path folder = fs::path(ConfigurationFolder()) / "quorvel" / "registry" /
                    (root == RegistryRoot::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE");
  for (const std::string& part : RegistryKeyParts(path)) folder /= LowerCase(part);
  return folder.string();
}

// A key whose parts can all be folders of the store: none holds a '/' or is named as the values
// file.
bool Storable(const std::string& path) {
  for (const std::string& part : RegistryKeyParts(path))
    if (part.find('/') != std::string::npos || part == ValuesFile) return false;
  return true;
}

std::string Escape(const std::string& s, bool name) {
  std::string out;
  for (char c : s) {
    if (c == '\\') out += "\\\\";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '=' && name) out += "\\=";
    else out.push_back(c);
  }
  return out;
}

// Reads an escaped text up to `stop` (or the end); `at` moves past it.
std::string Unescape(const std::string& s, std::size_t& at, char stop) {
  std::string out;
  for (; at < s.size() && s[at] != stop; ++at) {
    if (s[at] != '\\' || at + 1 == s.size()) {
      out.push_back(s[at]);
      continue;
    }
    const char next = s[++at];
    out.push_back(next == 'n' ? '\n' : next == 'r' ? '\r' : next);
  }
  return out;
}

using Values = std::map<std::string, RegistryValue>;

Values Load(const std::string& folder) {
  Values values;
  std::string contents;
  if (ReadWholeFile(folder + "/" + ValuesFile, contents) != ERROR_SUCCESS) return values;
  std::size_t at = 0;
  while (at < contents.size()) {
    std::size_t end = contents.find('\n', at);
    if (end == std::string::npos) end = contents.size();
    const std::string line = contents.substr(at, end - at);
    at = end + 1;
    if (line.size() < 3 || line[1] != ' ') continue;
    std::size_t pos = 2;
    const std::string name = Unescape(line, pos, '=');
    if (pos >= line.size()) continue;
    ++pos;
    const std::string text = Unescape(line, pos, '\n');
    RegistryValue value{line[0] == 'i', text, 0};
    if (value.integer && std::from_chars(text.data(), text.data() + text.size(), value.number).ec != std::errc()) continue;
    values[LowerCase(name)] = value;
  }
  return values;
}

// Reads the key's values, changes them and writes them back, all under the key's lock.
template <class Change>
DWORD Update(RegistryRoot root, const std::string& path, Change change) {
  const std::string folder = FolderOf(root, path);
  std::error_code error;
  if (!fs::is_directory(folder, error)) return ERROR_FILE_NOT_FOUND;
  FileLock lock(folder + "/" + LockFile);
  if (lock.Error() != ERROR_SUCCESS) return lock.Error();
  Values values = Load(folder);
  change(values);
  std::string contents;
  for (const auto& [key, value] : values)
    contents += std::string(value.integer ? "i " : "s ") + Escape(key, true) + "=" +
                Escape(value.integer ? std::to_string(value.number) : value.text, false) + "\n";
  return ReplaceFile(folder + "/" + ValuesFile, contents);
}

}  // namespace

DWORD RegistryOpenKey(RegistryRoot root, const std::string& path, bool create) {
  if (!Storable(path)) return ERROR_INVALID_PARAMETER;
  const std::string folder = FolderOf(root, path);
  std::error_code error;
  if (fs::is_directory(folder, error)) return ERROR_SUCCESS;
  if (!create) return ERROR_FILE_NOT_FOUND;
  if (!fs::create_directories(folder, error) || error) return error ? posix::OpenErrorFromErrno(error.value()) : ERROR_FILE_NOT_FOUND;
  return ERROR_SUCCESS;
}

DWORD RegistryReadValue(RegistryRoot root, const std::string& path, const std::string& name,
                        std::optional<RegistryValue>& value) {
  const Values values = Load(FolderOf(root, path));
  const auto it = values.find(LowerCase(name));
  value = it == values.end() ? std::nullopt : std::optional<RegistryValue>(it->second);
  return value ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

DWORD RegistryWriteValue(RegistryRoot root, const std::string& path, const std::string& name,
                         const RegistryValue& value) {
  return Update(root, path, [&](Values& values) { values[LowerCase(name)] = value; });
}

DWORD RegistryDeleteValue(RegistryRoot root, const std::string& path, const std::string& name, bool& existed) {
  existed = false;
  return Update(root, path, [&](Values& values) { existed = values.erase(LowerCase(name)) > 0; });
}

}  // namespace platform
