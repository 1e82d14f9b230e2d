#include "platform/RegistryStore.h"

namespace platform {

std::vector<std::string> RegistryKeyParts(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = !path.empty() && path[0] == '\\' ? 1 : 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

}  // namespace platform
