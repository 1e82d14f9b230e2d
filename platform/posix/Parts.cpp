#include "platform/Parts.h"

#include <dlfcn.h>

namespace platform {

namespace {

// The folder of the shared object (or program) that holds this code.
std::string OwnFolder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&OwnFolder), &info) == 0 || !info.dli_fname) return ".";
  const std::string path = info.dli_fname;
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

void* FindInPart(const std::string& fileName, const char* symbol) {
  // A toolkit cannot be unloaded safely once it has run, so the part never is.
  void* part = dlopen((OwnFolder() + "/" + fileName).c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  return part ? dlsym(part, symbol) : nullptr;
}

}  // namespace platform
