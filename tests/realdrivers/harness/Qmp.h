// The harness's side of QEMU's machine protocol (QMP): one JSON object a line. Commands are
// answered in the order they were sent; events come in between.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "tests/realdrivers/harness/HostEnd.h"

namespace realdrivers {

// The string value of `"key": "..."` in a line of QMP's JSON; no JSON library is needed for the
// few fields the harness reads.
std::optional<std::string> JsonText(std::string_view json, std::string_view key);

class Qmp {
 public:
  // `error` is empty when the command succeeded, else QEMU's description of the failure.
  using Answer = std::function<void(const std::string& error)>;
  using EventHandler = std::function<void(const std::string& event, const std::string& line)>;

  Qmp(int fd, EventHandler onEvent);

  HostEnd& End() { return end_; }
  void Execute(const std::string& command, Answer answer);
  // Handles every complete line that has arrived.
  void Dispatch();

 private:
  HostEnd end_;
  EventHandler onEvent_;
  std::deque<Answer> waiting_;
};

}  // namespace realdrivers
