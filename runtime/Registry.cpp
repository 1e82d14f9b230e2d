#include "runtime/Registry.h"

#include <charconv>
#include <filesystem>

#include "platform/Files.h"
#include "runtime/StringList.h"

namespace {

namespace fs = std::filesystem;

const char* ValuesFile = "values";
const char* LockFile = ".lock";

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

}  // namespace

std::string TRegistry::StoreFolder() { return platform::ConfigurationFolder() + "/quorvel/registry"; }

std::optional<std::string> TRegistry::FolderOf(const std::string& Key) const {
  fs::path folder = fs::path(StoreFolder()) / (FRootKey == TRootKey::HKEY_CURRENT_USER ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE");
  std::size_t start = Key.size() > 0 && Key[0] == '\\' ? 1 : 0;
  while (start <= Key.size()) {
    std::size_t end = Key.find('\\', start);
    if (end == std::string::npos) end = Key.size();
    const std::string part = Key.substr(start, end - start);
    // Key names match in any letter case, and no part may lead out of the store.
    if (part.empty() || part == "." || part == ".." || part.find('/') != std::string::npos || part == ValuesFile)
      return std::nullopt;
    folder /= AsciiLowerCase(part);
    start = end + 1;
  }
  return folder.string();
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
  const auto folder = FolderOf(Key);
  if (!folder) return false;
  std::error_code error;
  if (!fs::is_directory(*folder, error)) {
    if (!CanCreate || !fs::create_directories(*folder, error) || error) return false;
  }
  FFolder = *folder;
  FCurrentPath = Key;
  return true;
}

void TRegistry::CloseKey() {
  FFolder.clear();
  FCurrentPath.clear();
}

bool TRegistry::KeyExists(const std::string& Key) const {
  const auto folder = FolderOf(Key);
  std::error_code error;
  return folder && fs::is_directory(*folder, error);
}

void TRegistry::RequireOpenKey() const {
  if (FFolder.empty()) throw ERegistryException("No registry key is open");
}

TRegistry::Values TRegistry::Load() const {
  Values values;
  std::string contents;
  if (platform::ReadWholeFile(FFolder + "/" + ValuesFile, contents) != platform::ERROR_SUCCESS) return values;
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
    StoredValue value{line[0] == 'i', text, 0};
    if (value.integer && std::from_chars(text.data(), text.data() + text.size(), value.number).ec != std::errc()) continue;
    values[AsciiLowerCase(name)] = value;
  }
  return values;
}

std::optional<TRegistry::StoredValue> TRegistry::Find(const std::string& Name) const {
  RequireOpenKey();
  const Values values = Load();
  const auto it = values.find(AsciiLowerCase(Name));
  if (it == values.end()) return std::nullopt;
  return it->second;
}

bool TRegistry::ValueExists(const std::string& Name) const { return Find(Name).has_value(); }

std::string TRegistry::ReadString(const std::string& Name) const {
  const auto value = Find(Name);
  if (!value) return {};
  if (value->integer) throw ERegistryException("Invalid data type for '" + Name + "'");
  return value->text;
}

std::int32_t TRegistry::ReadInteger(const std::string& Name) const {
  const auto value = Find(Name);
  if (!value) throw ERegistryException("Failed to get data for '" + Name + "'");
  if (!value->integer) throw ERegistryException("Invalid data type for '" + Name + "'");
  return value->number;
}

template <class Change>
void TRegistry::Update(const std::string& Name, Change change) {
  RequireOpenKey();
  platform::FileLock lock(FFolder + "/" + LockFile);
  if (lock.Error() != platform::ERROR_SUCCESS) throw ERegistryException("Failed to set data for '" + Name + "'");
  Values values = Load();
  change(values);
  std::string contents;
  for (const auto& [key, value] : values)
    contents += std::string(value.integer ? "i " : "s ") + Escape(key, true) + "=" +
                Escape(value.integer ? std::to_string(value.number) : value.text, false) + "\n";
  if (platform::ReplaceFile(FFolder + "/" + ValuesFile, contents) != platform::ERROR_SUCCESS)
    throw ERegistryException("Failed to set data for '" + Name + "'");
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
  Update(Name, [&](Values& values) { values[AsciiLowerCase(Name)] = {false, Value, 0}; });
}

void TRegistry::WriteInteger(const std::string& Name, std::int32_t Value) {
  Update(Name, [&](Values& values) { values[AsciiLowerCase(Name)] = {true, {}, Value}; });
}

bool TRegistry::DeleteValue(const std::string& Name) {
  bool existed = false;
  Update(Name, [&](Values& values) { existed = values.erase(AsciiLowerCase(Name)) > 0; });
  return existed;
}
