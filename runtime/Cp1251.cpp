#include "runtime/Cp1251.h"

#include "platform/CodePage.h"

std::string Cp1251ToUtf8(const std::string& Text) { return platform::Cp1251ToUtf8(Text); }
std::string Utf8ToCp1251(const std::string& Text) { return platform::Utf8ToCp1251(Text); }
