#include "tests/realdrivers/harness/Telnet.h"

namespace realdrivers {

namespace {

constexpr unsigned char Iac = 0xFF;

// WILL, WONT, DO and DONT each name one option.
bool IsNegotiation(unsigned char verb) { return verb >= 0xFB && verb <= 0xFE; }

}  // namespace

std::string TelnetEscaped(std::string_view bytes) {
  std::string escaped;
  escaped.reserve(bytes.size());
  for (char c : bytes) {
    escaped += c;
    if (static_cast<unsigned char>(c) == Iac) escaped += c;
  }
  return escaped;
}

std::string TelnetGreeting::Strip(std::string_view data) {
  if (over_) return std::string(data);
  partial_.append(data);
  std::size_t at = 0;
  while (partial_.size() - at >= 2 && static_cast<unsigned char>(partial_[at]) == Iac &&
         IsNegotiation(static_cast<unsigned char>(partial_[at + 1]))) {
    if (partial_.size() - at < 3) break;
    at += 3;
  }
  const std::string_view left = std::string_view(partial_).substr(at);
  const bool mayStillBeGreeting =
      left.empty() || (static_cast<unsigned char>(left[0]) == Iac &&
                       (left.size() == 1 || (left.size() == 2 && IsNegotiation(static_cast<unsigned char>(left[1])))));
  if (mayStillBeGreeting) {
    partial_.erase(0, at);
    return {};
  }
  over_ = true;
  std::string rest(left);
  partial_.clear();
  return rest;
}

}  // namespace realdrivers
