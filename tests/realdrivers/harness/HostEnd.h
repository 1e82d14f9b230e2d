// The host end of one of the guest's serial devices (or of its console): a connected socket
// whose other side is QEMU's device model. What the guest sends is kept until a test takes it;
// what a test sends goes out as fast as the socket takes it, never blocking the harness.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tests/realdrivers/harness/Telnet.h"

namespace realdrivers {

class HostEnd {
 public:
  HostEnd(std::string name, int fd, bool telnet);
  ~HostEnd();
  HostEnd(const HostEnd&) = delete;
  HostEnd& operator=(const HostEnd&) = delete;

  const std::string& Name() const { return name_; }
  bool Telnet() const { return telnet_; }
  int Fd() const { return fd_; }
  // What to poll for: input unless held, output while bytes wait to go.
  short PollEvents() const;
  // Reads and writes what the socket allows. False once QEMU has closed its side.
  bool Serve(short revents);

  std::size_t Received() const { return received_.size(); }
  // Up to `count` of the bytes received so far, removed from what is kept.
  std::string Take(std::size_t count);
  // The next complete line (without its end), if one has arrived.
  std::optional<std::string> TakeLine();
  void Skip() { received_.clear(); }

  void Send(std::string_view bytes);
  // A break on the line; false where the chardev does not speak telnet.
  bool SendBreak();
  bool AllSent() const { return outbox_.empty(); }

  // A held end stops reading, so the device model's output stalls as a far end that is not
  // ready would stall it.
  void Hold(bool held) { held_ = held; }
  bool Held() const { return held_; }

 private:
  void Flush();

  const std::string name_;
  const int fd_;
  const bool telnet_;
  TelnetGreeting greeting_;
  std::string received_;
  std::string outbox_;
  bool held_ = false;
  bool closed_ = false;
};

}  // namespace realdrivers
