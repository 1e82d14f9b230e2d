// The guest's side of the talk with the harness: requests go out on the console as lines, and
// the answers come back on the console's input (see Protocol.h). One request is outstanding at
// a time; threads that ask at once take turns.
#pragma once

#include <chrono>
#include <mutex>
#include <string>

namespace realdrivers {

struct Answer {
  bool ok = false;
  std::string text;
};

class ControlChannel {
 public:
  static ControlChannel& Instance();

  // Sends the request and waits for its answer. `patience` is how long the harness may take;
  // a harness that does not answer at all within it ends the wait with an exception.
  Answer Ask(const std::string& verb, const std::string& arguments,
             std::chrono::milliseconds patience = std::chrono::seconds(60));

 private:
  ControlChannel();
  std::string ReadLine(std::chrono::steady_clock::time_point deadline);

  std::mutex mutex_;
  int fd_ = -1;
  unsigned lastId_ = 0;
  std::string buffered_;
};

}  // namespace realdrivers
