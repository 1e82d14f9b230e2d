// The runtime's general exception: a message (what() returns it) and a help context.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "runtime/Export.h"

class QUORVEL_API Exception : public std::exception {
 public:
  explicit Exception(std::string message, std::int32_t helpContext = 0)
      : message_(std::move(message)), helpContext_(helpContext) {}

  const std::string& Message() const noexcept { return message_; }
  void SetMessage(std::string message) { message_ = std::move(message); }
  std::int32_t HelpContext() const noexcept { return helpContext_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
  std::int32_t helpContext_;
};

// Raised when one persistent object cannot be assigned to another.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// The message of any exception: Exception's text, what() of other standard exceptions.
std::string ExceptionMessage(const std::exception_ptr& error);
