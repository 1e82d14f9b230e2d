// Keys of named string and integer values. On Linux each key is a folder under
// <configuration folder>/quorvel/registry/<root>/, its values a file in it; a change rewrites
// that file in one step under a lock, so an interrupted save or a second process writing the
// same key loses nothing.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

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

  // The folder that holds the root keys.
  static std::string StoreFolder();

 private:
  struct StoredValue {
    bool integer;
    std::string text;
    std::int32_t number;
  };
  using Values = std::map<std::string, StoredValue>;
  std::optional<std::string> FolderOf(const std::string& Key) const;
  Values Load() const;
  // Reads the key's values, changes them and writes them back, all under the key's lock.
  template <class Change>
  void Update(const std::string& Name, Change change);
  std::optional<StoredValue> Find(const std::string& Name) const;
  void RequireOpenKey() const;

  TRootKey FRootKey = TRootKey::HKEY_CURRENT_USER;
  std::string FCurrentPath;
  std::string FFolder;  // of the open key; empty when none is open
};
