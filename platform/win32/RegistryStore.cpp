#include "platform/RegistryStore.h"

#include <cstring>

#include "platform/win32/WindowsHeader.h"

namespace platform {

namespace {

HKEY RootKey(RegistryRoot root) { return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

std::string SubKey(const std::string& path) { return !path.empty() && path[0] == '\\' ? path.substr(1) : path; }

// An open key, closed when it goes.
class OpenedKey {
 public:
  OpenedKey(RegistryRoot root, const std::string& path, REGSAM access)
      : error_(static_cast<DWORD>(RegOpenKeyExA(RootKey(root), SubKey(path).c_str(), 0, access, &key_))) {}
  ~OpenedKey() {
    if (error_ == ERROR_SUCCESS) RegCloseKey(key_);
  }
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;
  DWORD Error() const { return error_; }
  HKEY Key() const { return key_; }

 private:
  HKEY key_ = nullptr;
  DWORD error_;
};

}  // namespace

DWORD RegistryOpenKey(RegistryRoot root, const std::string& path, bool create) {
  if (!create) return OpenedKey(root, path, KEY_READ).Error();
  HKEY key = nullptr;
  const LONG error = RegCreateKeyExA(RootKey(root), SubKey(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
  if (error == ERROR_SUCCESS) RegCloseKey(key);
  return static_cast<DWORD>(error);
}

DWORD RegistryReadValue(RegistryRoot root, const std::string& path, const std::string& name,
                        std::optional<RegistryValue>& value) {
  value.reset();
  OpenedKey key(root, path, KEY_QUERY_VALUE);
  if (key.Error() != ERROR_SUCCESS) return key.Error();
  ::DWORD type = 0, size = 0;
  LONG error = RegQueryValueExA(key.Key(), name.c_str(), nullptr, &type, nullptr, &size);
  if (error != ERROR_SUCCESS) return static_cast<DWORD>(error);
  std::string data(size, '\0');
  error = RegQueryValueExA(key.Key(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
  if (error != ERROR_SUCCESS) return static_cast<DWORD>(error);
  data.resize(size);
  if (type == REG_DWORD && size == sizeof(std::int32_t)) {
    std::int32_t number;
    std::memcpy(&number, data.data(), sizeof number);
    value = RegistryValue{true, {}, number};
  } else {
    // A text ends at its terminating NUL, which the registry counts in its size.
    if (const auto end = data.find('\0'); end != std::string::npos) data.resize(end);
    value = RegistryValue{false, data, 0};
  }
  return ERROR_SUCCESS;
}

DWORD RegistryWriteValue(RegistryRoot root, const std::string& path, const std::string& name,
                         const RegistryValue& value) {
  OpenedKey key(root, path, KEY_SET_VALUE);
  if (key.Error() != ERROR_SUCCESS) return key.Error();
  if (value.integer)
    return static_cast<DWORD>(RegSetValueExA(key.Key(), name.c_str(), 0, REG_DWORD,
                                             reinterpret_cast<const BYTE*>(&value.number), sizeof value.number));
  return static_cast<DWORD>(RegSetValueExA(key.Key(), name.c_str(), 0, REG_SZ,
                                           reinterpret_cast<const BYTE*>(value.text.c_str()),
                                           static_cast<::DWORD>(value.text.size() + 1)));
}

DWORD RegistryDeleteValue(RegistryRoot root, const std::string& path, const std::string& name, bool& existed) {
  existed = false;
  OpenedKey key(root, path, KEY_SET_VALUE);
  if (key.Error() != ERROR_SUCCESS) return key.Error();
  const LONG error = RegDeleteValueA(key.Key(), name.c_str());
  if (error == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
  existed = error == ERROR_SUCCESS;
  return static_cast<DWORD>(error);
}

}  // namespace platform
