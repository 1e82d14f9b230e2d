#include "tests/realdrivers/harness/Session.h"

#include <poll.h>

#include <algorithm>
#include <charconv>

namespace realdrivers {

namespace {

using std::chrono::milliseconds;

// A replug may meet the chardev still held by the device just removed; QEMU lets it go soon.
constexpr milliseconds DeviceAddRetry{50};
constexpr milliseconds DeviceAddPatience{5000};
constexpr milliseconds RemovalPatience{30000};
constexpr milliseconds SendPatience{5000};

std::optional<std::size_t> Number(const std::string& text) {
  std::size_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

long long Since(Session::Clock::time_point start) {
  return std::chrono::duration_cast<milliseconds>(Session::Clock::now() - start).count();
}

}  // namespace

Session::Session(Machine& machine, TestLog& log, std::ostream& transcript, Limits limits)
    : log_(log),
      transcript_(transcript),
      limits_(limits),
      console_("console", machine.TakeConsole(), false),
      qmp_(machine.TakeQmp(), [this](const std::string& event, const std::string& line) { OnEvent(event, line); }) {
  for (std::size_t i = 0; i < GuestDevices().size(); ++i)
    ends_.push_back(std::make_unique<HostEnd>(GuestDevices()[i].name, machine.TakeDevice(i), GuestDevices()[i].telnet));
}

Session::End Session::Run() {
  const Clock::time_point start = Clock::now();
  const Clock::time_point bootDeadline = start + limits_.boot;
  const Clock::time_point sessionDeadline = start + limits_.session;
  bool consoleOpen = true;
  End end = End::Completed;
  while (consoleOpen && !done_) {
    Clock::time_point wake = up_ ? sessionDeadline : std::min(bootDeadline, sessionDeadline);
    if (const auto next = NextWake()) wake = std::min(wake, *next);
    const auto left = std::chrono::ceil<milliseconds>(wake - Clock::now()).count();

    std::vector<pollfd> fds = {{console_.Fd(), console_.PollEvents(), 0}, {qmp_.End().Fd(), qmp_.End().PollEvents(), 0}};
    for (const auto& e : ends_) fds.push_back({e->Fd(), e->PollEvents(), 0});
    poll(fds.data(), fds.size(), static_cast<int>(std::max<long long>(left, 0)));

    consoleOpen = console_.Serve(fds[0].revents);
    while (const auto line = console_.TakeLine()) OnLine(*line);
    qmp_.End().Serve(fds[1].revents);
    qmp_.Dispatch();
    for (std::size_t i = 0; i < ends_.size(); ++i) ends_[i]->Serve(fds[i + 2].revents);
    CheckPending();

    if (!up_ && Clock::now() >= bootDeadline) {
      end = End::NotBooted;
      break;
    }
    if (Clock::now() >= sessionDeadline) {
      end = End::OutOfTime;
      break;
    }
  }
  if (end == End::Completed && !done_) end = up_ ? End::EndedEarly : End::NotBooted;
  switch (end) {
    case End::OutOfTime: log_.End("the machine's session ran out of time during this test"); break;
    case End::EndedEarly: log_.End("the machine stopped during this test (see session.log)"); break;
    default: log_.End("the test did not end"); break;
  }
  return end;
}

std::optional<Session::Clock::time_point> Session::NextWake() const {
  std::optional<Clock::time_point> next;
  auto consider = [&](Clock::time_point t) {
    if (!next || t < *next) next = t;
  };
  for (const Pending& p : pending_) consider(p.deadline);
  for (const auto& [name, plug] : plugs_)
    if (plug.retryAt) consider(*plug.retryAt);
  return next;
}

void Session::OnLine(const std::string& line) {
  transcript_ << line << '\n';
  if (line.find(UpMarker) != std::string::npos) up_ = true;
  if (const auto program = TextAfter(line, ProgramMarker)) {
    log_.Program(*program);
    return;
  }
  if (line.find(DoneMarker) != std::string::npos) {
    log_.End("the session ended during this test");
    done_ = true;
    return;
  }
  log_.Line(line);
  if (const auto request = ParseMessage(line)) OnRequest(*request);
}

HostEnd* Session::EndOf(const std::string& name) {
  for (const auto& e : ends_)
    if (e->Name() == name) return e.get();
  return nullptr;
}

void Session::OnRequest(const Message& request) {
  const std::vector<std::string> args = Words(request.text);
  const std::string& verb = request.word;
  HostEnd* end = args.empty() ? nullptr : EndOf(args[0]);
  if (!end) return Answer(request.id, false, "no device named '" + (args.empty() ? "" : args[0]) + "'");
  if (verb == "take" || verb == "drop") return Take(request.id, args, verb == "take");
  if (verb == "skip") {
    end->Skip();
    return Answer(request.id, true, "");
  }
  if (verb == "count") return Answer(request.id, true, std::to_string(end->Received()));
  if (verb == "send" && args.size() == 2) {
    if (const auto bytes = FromHex(args[1])) return Send(request.id, *end, *bytes, false);
    return Answer(request.id, false, "not hex: " + args[1]);
  }
  if (verb == "break") {
    if (!end->Telnet()) return Answer(request.id, false, "the far end of " + end->Name() + " cannot send a break");
    return Send(request.id, *end, "", true);
  }
  if (verb == "hold" || verb == "release") {
    // The USB serial model waits, with the whole machine, for its far end to read.
    if (verb == "hold" && end->Name() == "usb")
      return Answer(request.id, false, "holding the USB adapter's far end would stop the machine");
    end->Hold(verb == "hold");
    return Answer(request.id, true, "");
  }
  const GuestDevice* device = FindGuestDevice(end->Name());
  if (verb == "unplug" && args.size() == 2) {
    if (const auto limit = Number(args[1])) return Unplug(request.id, *device, milliseconds(*limit));
  }
  if (verb == "plug") return Replug(request.id, *device);
  Answer(request.id, false, "not understood: " + verb + " " + request.text);
}

void Session::Answer(unsigned id, bool ok, const std::string& text) {
  console_.Send(FormatMessage(id, ok ? "ok" : "err", text));
  transcript_ << "[harness] " << id << (ok ? " ok " : " err ") << text.substr(0, 200) << '\n';
}

void Session::Wait(unsigned id, milliseconds limit, std::function<bool(bool late)> check) {
  if (check(false)) return;
  pending_.push_back({id, Clock::now() + limit, std::move(check)});
}

void Session::CheckPending() {
  std::vector<Pending> still;
  std::vector<Pending> current;
  current.swap(pending_);
  for (Pending& p : current) {
    const bool late = Clock::now() >= p.deadline;
    if (!p.check(late)) still.push_back(std::move(p));
  }
  // Checks never add requests, but keep any that arrived meanwhile.
  still.insert(still.end(), std::make_move_iterator(pending_.begin()), std::make_move_iterator(pending_.end()));
  pending_.swap(still);
}

void Session::Take(unsigned id, const std::vector<std::string>& args, bool answerWithBytes) {
  const auto count = args.size() == 3 ? Number(args[1]) : std::nullopt;
  const auto limit = args.size() == 3 ? Number(args[2]) : std::nullopt;
  if (!count || !limit) return Answer(id, false, "take and drop need a device, a byte count and a time limit");
  HostEnd* end = EndOf(args[0]);
  const std::size_t n = *count;
  const auto limitMs = *limit;
  // A drop answers with the count alone: megabytes would take long over the console.
  auto bytes = [answerWithBytes](const std::string& got) { return answerWithBytes ? ToHex(got) : std::to_string(got.size()); };
  Wait(id, milliseconds(*limit), [this, id, end, n, limitMs, bytes](bool late) {
    if (end->Received() >= n) {
      Answer(id, true, bytes(end->Take(n)));
      return true;
    }
    if (!late) return false;
    const std::string got = end->Take(n);
    Answer(id, false, std::to_string(got.size()) + " of " + std::to_string(n) + " bytes within " + std::to_string(limitMs) + " ms: " + bytes(got));
    return true;
  });
}

void Session::Send(unsigned id, HostEnd& end, const std::string& bytes, bool asBreak) {
  if (asBreak)
    end.SendBreak();
  else
    end.Send(bytes);
  HostEnd* target = &end;
  Wait(id, SendPatience, [this, id, target](bool late) {
    if (target->AllSent()) {
      Answer(id, true, "");
      return true;
    }
    if (late) Answer(id, false, "the device model did not take the bytes");
    return late;
  });
}

void Session::OnEvent(const std::string& event, const std::string& line) {
  transcript_ << "[qmp] " << line << '\n';
  if (event != "DEVICE_DELETED") return;
  const std::optional<std::string> id = JsonText(line, "device");
  for (const GuestDevice& device : GuestDevices()) {
    if (!id || *id != device.deviceId) continue;
    Plug& plug = plugs_[device.name];
    plug.stage = Plug::Stage::Removed;
    plug.since = Clock::now();
  }
}

void Session::Unplug(unsigned id, const GuestDevice& device, milliseconds limit) {
  if (*device.deviceId == '\0') return Answer(id, false, std::string(device.name) + " cannot be unplugged");
  Plug& plug = plugs_[device.name];
  if (plug.stage != Plug::Stage::Present) return Answer(id, false, std::string(device.name) + " is not plugged in");
  plug = Plug{};
  plug.stage = Plug::Stage::Removing;
  plug.since = Clock::now();
  const std::string name = device.name;
  qmp_.Execute(std::string(R"({"execute":"device_del","arguments":{"id":")") + device.deviceId + "\"}}",
               [this, name](const std::string& error) {
                 if (error.empty()) return;
                 plugs_[name].stage = Plug::Stage::Present;
                 plugs_[name].failure = error;
               });
  Wait(id, limit, [this, id, name, limit](bool late) {
    Plug& p = plugs_[name];
    if (p.stage == Plug::Stage::Removed) {
      Answer(id, true, std::to_string(Since(p.since)));  // how long ago the removal finished: ~0
      return true;
    }
    if (p.stage == Plug::Stage::Present) {
      Answer(id, false, "device_del failed: " + p.failure);
      return true;
    }
    // The removal goes on; a later replug waits for its end.
    if (late) Answer(id, false, "the guest did not complete the removal of " + name + " within " + std::to_string(limit.count()) + " ms");
    return late;
  });
}

void Session::Replug(unsigned id, const GuestDevice& device) {
  if (*device.deviceId == '\0') return Answer(id, false, std::string(device.name) + " cannot be plugged");
  const std::string name = device.name;
  const GuestDevice* target = &device;
  Wait(id, RemovalPatience + DeviceAddPatience, [this, id, name, target](bool late) {
    Plug& p = plugs_[name];
    if (p.addOutcome) {
      const bool ok = p.addOutcome->empty();
      Answer(id, ok, ok ? "" : "device_add failed: " + *p.addOutcome);
      p.addOutcome.reset();
      return true;
    }
    switch (p.stage) {
      case Plug::Stage::Removing:
        // A removal still under way (one that a test found held up) has to end first.
        if (late) Answer(id, false, "the removal of " + name + " never finished, so it cannot be plugged back");
        return late;
      case Plug::Stage::Removed:
        p.stage = Plug::Stage::Adding;
        p.since = Clock::now();
        StartDeviceAdd(*target);
        return false;
      case Plug::Stage::Adding:
        if (p.retryAt && Clock::now() >= *p.retryAt) StartDeviceAdd(*target);
        if (late) Answer(id, false, "device_add did not succeed in time: " + p.failure);
        return late;
      case Plug::Stage::Present:
        break;
    }
    Answer(id, false, name + " is plugged in already");
    return true;
  });
}

void Session::StartDeviceAdd(const GuestDevice& device) {
  Plug& plug = plugs_[device.name];
  if (plug.commandOut) return;
  plug.commandOut = true;
  plug.retryAt.reset();
  const std::string name = device.name;
  qmp_.Execute(std::string(R"({"execute":"device_add","arguments":)") + device.deviceAddJson + "}",
               [this, name](const std::string& error) {
                 Plug& p = plugs_[name];
                 p.commandOut = false;
                 if (error.empty()) {
                   p.stage = Plug::Stage::Present;
                   p.addOutcome = "";
                   return;
                 }
                 p.failure = error;
                 // The device just removed may still hold its chardev for a moment.
                 if (error.find("in use") != std::string::npos && Clock::now() - p.since < DeviceAddPatience) {
                   p.retryAt = Clock::now() + DeviceAddRetry;
                   return;
                 }
                 p.stage = Plug::Stage::Removed;
                 p.addOutcome = error;
               });
}

}  // namespace realdrivers
