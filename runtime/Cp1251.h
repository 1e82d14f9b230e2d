// The runtime's strings are Windows-1251; these convert them for the world outside (UTF-8)
// and back. A character that Windows-1251 lacks becomes '?'.
#pragma once

#include <string>

std::string Cp1251ToUtf8(const std::string& Text);
std::string Utf8ToCp1251(const std::string& Text);
