// The system's store of registry keys: named string and integer values under a key path whose
// parts are separated by backslashes. Windows keeps them in its registry; Linux in a folder per
// key under the user's configuration folder, each change rewritten in one step under a lock, so
// an interrupted save or a second process writing the same key loses nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Win32Types.h"

namespace platform {

enum class RegistryRoot : std::uint8_t { CurrentUser, LocalMachine };

struct RegistryValue {
  bool integer;
  std::string text;
  std::int32_t number;
};

// The parts of a key path: what stands between its backslashes, a leading one ignored.
std::vector<std::string> RegistryKeyParts(const std::string& path);

// The paths given here are already checked: no empty, "." or ".." parts. Names match in any
// letter case, as Windows matches them. Each call answers ERROR_SUCCESS or the failure's code;
// ERROR_FILE_NOT_FOUND for a key (or a value) that is not there.
DWORD RegistryOpenKey(RegistryRoot root, const std::string& path, bool create);
DWORD RegistryReadValue(RegistryRoot root, const std::string& path, const std::string& name,
                        std::optional<RegistryValue>& value);
DWORD RegistryWriteValue(RegistryRoot root, const std::string& path, const std::string& name,
                         const RegistryValue& value);
// `existed` tells whether there was such a value.
DWORD RegistryDeleteValue(RegistryRoot root, const std::string& path, const std::string& name, bool& existed);

}  // namespace platform
