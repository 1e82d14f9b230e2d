#include "platform/PortEnumeration.h"

#include "platform/win32/WindowsHeader.h"

namespace platform {

// Windows lists its ports in the registry; the Linux folders are not looked at.
void SetDefaultPortSources(const PortSources&) {}

DWORD ListSerialPorts(std::vector<std::string>& names, const PortSources&) { return ListSerialPorts(names); }

DWORD ListSerialPorts(std::vector<std::string>& names) {
  HKEY key = nullptr;
  const LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key);
  // The key exists only while a serial port does.
  if (opened == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
  if (opened != ERROR_SUCCESS) return static_cast<DWORD>(opened);
  LONG result = ERROR_SUCCESS;
  for (::DWORD index = 0;; ++index) {
    char name[256];
    BYTE data[256];
    ::DWORD nameLength = sizeof name, dataLength = sizeof data - 1, type = 0;
    result = RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &dataLength);
    if (result == ERROR_NO_MORE_ITEMS) {
      result = ERROR_SUCCESS;
      break;
    }
    if (result == ERROR_MORE_DATA) continue;  // no port has a name that long
    if (result != ERROR_SUCCESS) break;
    if (type != REG_SZ) continue;
    data[dataLength] = 0;
    if (data[0]) names.emplace_back(reinterpret_cast<const char*>(data));  // up to the first NUL
  }
  RegCloseKey(key);
  return static_cast<DWORD>(result);
}

}  // namespace platform
