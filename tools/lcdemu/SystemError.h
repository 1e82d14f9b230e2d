// Failures of system calls as exceptions that name what failed and why.
#pragma once

#include <cerrno>
#include <string>
#include <system_error>

[[noreturn]] inline void RaiseSystemError(const std::string& what, int error = errno) {
  throw std::system_error(error, std::generic_category(), what);
}
