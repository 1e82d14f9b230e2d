#include "runtime/Registry.h"

namespace {

// Empty, "." and ".." parts name no key of their own anywhere.
bool Acceptable(const std::string& Key) {
  for (const std::string& part : platform::RegistryKeyParts(Key))
    if (part.empty() || part == "." || part == "..") return false;
  return true;
}

}  // namespace

platform::RegistryRoot TRegistry::Root() const {
  return FRootKey == TRootKey::HKEY_LOCAL_MACHINE ? platform::RegistryRoot::LocalMachine
                                                  : platform::RegistryRoot::CurrentUser;
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
  if (!Acceptable(Key) || platform::RegistryOpenKey(Root(), Key, CanCreate) != platform::ERROR_SUCCESS) return false;
  FCurrentPath = Key;
  FOpen = true;
  return true;
}

void TRegistry::CloseKey() {
  FOpen = false;
  FCurrentPath.clear();
}

bool TRegistry::KeyExists(const std::string& Key) const {
  return Acceptable(Key) && platform::RegistryOpenKey(Root(), Key, false) == platform::ERROR_SUCCESS;
}

void TRegistry::RequireOpenKey() const {
  if (!FOpen) throw ERegistryException("No registry key is open");
}

std::optional<platform::RegistryValue> TRegistry::Find(const std::string& Name) const {
  RequireOpenKey();
  std::optional<platform::RegistryValue> value;
  platform::RegistryReadValue(Root(), FCurrentPath, Name, value);
  return value;
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

void TRegistry::Write(const std::string& Name, const platform::RegistryValue& Value) {
  RequireOpenKey();
  if (platform::RegistryWriteValue(Root(), FCurrentPath, Name, Value) != platform::ERROR_SUCCESS)
    throw ERegistryException("Failed to set data for '" + Name + "'");
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) { Write(Name, {false, Value, 0}); }

void TRegistry::WriteInteger(const std::string& Name, std::int32_t Value) { Write(Name, {true, {}, Value}); }

bool TRegistry::DeleteValue(const std::string& Name) {
  RequireOpenKey();
  bool existed = false;
  if (platform::RegistryDeleteValue(Root(), FCurrentPath, Name, existed) != platform::ERROR_SUCCESS)
    throw ERegistryException("Failed to set data for '" + Name + "'");
  return existed;
}
