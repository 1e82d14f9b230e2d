// The far end of a chardev with telnet=on. QEMU greets the connecting far end with option
// negotiation (IAC WILL/WONT/DO/DONT triples) and reads IAC IAC from it as one 0xFF byte and
// IAC BREAK as a break on the line; what the guest sends comes through unescaped.
#pragma once

#include <string>
#include <string_view>

namespace realdrivers {

inline constexpr std::string_view TelnetBreak = "\xFF\xF3";

// Bytes as the far end must send them for the guest to receive exactly these.
std::string TelnetEscaped(std::string_view bytes);

// Removes QEMU's greeting from the start of what arrives; everything after it is the guest's.
class TelnetGreeting {
 public:
  std::string Strip(std::string_view data);

 private:
  std::string partial_;
  bool over_ = false;
};

}  // namespace realdrivers
