#include "platform/Parts.h"

#include "platform/win32/WindowsHeader.h"

namespace platform {

namespace {

// The folder of the DLL (or program) that holds this code.
std::string OwnFolder() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&OwnFolder), &module);
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return ".";
  const std::string text(path, length);
  const auto separator = text.find_last_of("\\/");
  return separator == std::string::npos ? "." : text.substr(0, separator);
}

}  // namespace

void* FindInPart(const std::string& fileName, const char* symbol) {
  // A part once loaded stays loaded: nothing here frees it.
  HMODULE part = LoadLibraryA((OwnFolder() + "\\" + fileName).c_str());
  return part ? reinterpret_cast<void*>(GetProcAddress(part, symbol)) : nullptr;
}

}  // namespace platform
