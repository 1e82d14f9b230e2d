// One session of the machine: the harness follows the guest's console, answers the requests
// of the guest's tests as the far end of each device and as the machine's operator (unplug,
// replug), and keeps the transcript. Every socket is read at all times unless a test holds it:
// the USB serial model stops the whole machine while its host end is connected but not read.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/realdrivers/Protocol.h"
#include "tests/realdrivers/harness/HostEnd.h"
#include "tests/realdrivers/harness/Machine.h"
#include "tests/realdrivers/harness/Qmp.h"
#include "tests/realdrivers/harness/TestLog.h"

namespace realdrivers {

class Session {
 public:
  using Clock = std::chrono::steady_clock;
  struct Limits {
    std::chrono::milliseconds boot{std::chrono::seconds(90)};
    std::chrono::milliseconds session{std::chrono::seconds(300)};
  };
  enum class End { Completed, NotBooted, EndedEarly, OutOfTime };

  Session(Machine& machine, TestLog& log, std::ostream& transcript, Limits limits);
  End Run();

 private:
  // A request that is answered later: Check answers it (true) or leaves it waiting.
  struct Pending {
    unsigned id;
    Clock::time_point deadline;
    std::function<bool(bool late)> check;
  };
  // Where a hot-pluggable device stands in its unplug and replug.
  struct Plug {
    enum class Stage { Present, Removing, Removed, Adding } stage = Stage::Present;
    Clock::time_point since;                // when the stage began
    std::string failure;                    // QEMU's answer to the last command that failed
    std::optional<std::string> addOutcome;  // a replug's end: empty when it worked
    bool commandOut = false;                // a device_add waits for its answer
    std::optional<Clock::time_point> retryAt;
  };

  void OnLine(const std::string& line);
  void OnRequest(const Message& request);
  void OnEvent(const std::string& event, const std::string& line);
  void Answer(unsigned id, bool ok, const std::string& text);
  void CheckPending();
  void Wait(unsigned id, std::chrono::milliseconds limit, std::function<bool(bool late)> check);
  HostEnd* EndOf(const std::string& name);

  void Take(unsigned id, const std::vector<std::string>& args, bool answerWithBytes);
  void Send(unsigned id, HostEnd& end, const std::string& bytes, bool asBreak);
  void Unplug(unsigned id, const GuestDevice& device, std::chrono::milliseconds limit);
  void Replug(unsigned id, const GuestDevice& device);
  void StartDeviceAdd(const GuestDevice& device);
  // The next moment something must happen without input: a deadline or a retry.
  std::optional<Clock::time_point> NextWake() const;

  TestLog& log_;
  std::ostream& transcript_;
  Limits limits_;
  HostEnd console_;
  Qmp qmp_;
  std::vector<std::unique_ptr<HostEnd>> ends_;
  std::vector<Pending> pending_;
  std::map<std::string, Plug> plugs_;
  bool up_ = false;
  bool done_ = false;
};

}  // namespace realdrivers
