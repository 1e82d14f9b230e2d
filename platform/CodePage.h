// Windows-1251, the runtime's strings, to and from UTF-8, the world outside. A character that
// Windows-1251 lacks becomes '?'; a byte that is no character becomes U+FFFD.
#pragma once

#include <string>

namespace platform {

std::string Cp1251ToUtf8(const std::string& text);
std::string Utf8ToCp1251(const std::string& text);

}  // namespace platform
