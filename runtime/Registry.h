// Keys of named string and integer values in the system's registry (on Linux a store of the
// user's own, see platform/RegistryStore.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/RegistryStore.h"
#include "runtime/Exception.h"
#include "runtime/Object.h"

class ERegistryException : public Exception {
 public:
  using Exception::Exception;
};

enum class TRootKey : std::uint8_t { HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE };

class TRegistry : public TObject {
 public:
  TRegistry() = default;

  TRootKey RootKey() const { return FRootKey; }
  void SetRootKey(TRootKey Value) { FRootKey = Value; }
  // Opens Key (parts separated by backslashes), creating it when CanCreate. False when it does
  // not exist (or cannot be created); a path with empty, "." or ".." parts is refused.
  bool OpenKey(const std::string& Key, bool CanCreate);
  void CloseKey();
  bool KeyExists(const std::string& Key) const;
  const std::string& CurrentPath() const { return FCurrentPath; }

  bool ValueExists(const std::string& Name) const;
  // A missing value reads as the empty text; an integer value cannot be read as text.
  std::string ReadString(const std::string& Name) const;
  // A missing value, or a text value, raises ERegistryException.
  std::int32_t ReadInteger(const std::string& Name) const;
  void WriteString(const std::string& Name, const std::string& Value);
  void WriteInteger(const std::string& Name, std::int32_t Value);
  bool DeleteValue(const std::string& Name);

 private:
  platform::RegistryRoot Root() const;
  std::optional<platform::RegistryValue> Find(const std::string& Name) const;
  void Write(const std::string& Name, const platform::RegistryValue& Value);
  void RequireOpenKey() const;

  TRootKey FRootKey = TRootKey::HKEY_CURRENT_USER;
  std::string FCurrentPath;
  bool FOpen = false;
};
