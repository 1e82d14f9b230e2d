#include "tests/faults/FaultSweep.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "serial/ComErrors.h"
#include "tests/support/ProcessCounts.h"

using namespace platform;

std::string CallSite::Describe() const {
  return call + " #" + std::to_string(occurrence + 1) + (testThread ? " on the test thread" : " on the event thread") +
         " in phase " + phase;
}

void ScenarioRun::Phase(const std::string& name, const std::function<void()>& body) {
  starts_.emplace_back(fake_.Calls().size(), name);
  PhaseOutcome& outcome = outcomes_[name];
  try {
    body();
  } catch (const EComPort& e) {
    outcome = {"EComPort", e.ErrorNumber(), e.WinErrorCode(), e.Message()};
  } catch (const Exception& e) {
    outcome = {"Exception", 0, 0, e.Message()};
  } catch (const std::exception& e) {
    outcome = {"other", 0, 0, e.what()};
  } catch (...) {
    outcome = {"other", 0, 0, ""};
  }
}

PhaseOutcome ScenarioRun::Outcome(const std::string& phase) const {
  auto it = outcomes_.find(phase);
  return it == outcomes_.end() ? PhaseOutcome{} : it->second;
}

std::string ScenarioRun::PhaseOfCall(std::size_t index) const {
  std::string phase = "before the first phase";
  for (const auto& [start, name] : starts_)
    if (start <= index) phase = name;
  return phase;
}

DWORD RealisticError(const std::string& call) {
  static const std::map<std::string, DWORD> errors = {
      {"CreateFileA", ERROR_ACCESS_DENIED},   {"CreateEventA", ERROR_NOT_ENOUGH_MEMORY},
      {"CloseHandle", ERROR_INVALID_HANDLE},  {"SetEvent", ERROR_INVALID_HANDLE},
      {"ResetEvent", ERROR_INVALID_HANDLE},   {"WaitForSingleObject", ERROR_INVALID_HANDLE},
      {"WaitForMultipleObjects", ERROR_INVALID_HANDLE}, {"SetupComm", ERROR_INVALID_PARAMETER},
      {"SetCommState", ERROR_INVALID_PARAMETER}, {"SetCommTimeouts", ERROR_INVALID_PARAMETER},
  };
  auto it = errors.find(call);
  return it == errors.end() ? ERROR_GEN_FAILURE : it->second;  // a device that stopped working
}

namespace {

std::vector<CallSite> SitesOf(const std::vector<std::string>& calls, bool testThread, const ScenarioRun& run) {
  std::vector<CallSite> sites;
  std::map<std::string, int> seen;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    if (calls[i] == "Sleep") continue;  // a sleep cannot fail
    sites.push_back({calls[i], seen[calls[i]]++, testThread, testThread ? run.PhaseOfCall(i) : "event thread",
                     i + 1 < calls.size() ? calls[i + 1] : ""});
  }
  return sites;
}

// Aborts the program, naming the site, when a run does not end in time: a hang is a finding,
// and the report must say where.
class Watchdog {
 public:
  explicit Watchdog(std::string site) : site_(std::move(site)), thread_([this] { Watch(); }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    changed_.notify_one();
    thread_.join();
  }

 private:
  void Watch() {
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, std::chrono::seconds(30), [this] { return done_; })) {
      std::fprintf(stderr, "the run with %s did not end\n", site_.c_str());
      std::abort();
    }
  }
  std::string site_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool done_ = false;
  std::thread thread_;
};

}  // namespace

int SweepFaults(const Scenario& scenario, const std::function<void(const ScenarioRun&)>& judgeUnfaulted,
                const std::function<void(const FaultyRun&)>& check) {
  std::vector<CallSite> sites;
  {
    fake::ScopedFakePlatform fake;
    ScenarioRun golden(*fake);
    scenario(*fake, golden);
    judgeUnfaulted(golden);
    sites = SitesOf(fake->Calls(), true, golden);
    const auto others = SitesOf(fake->OtherThreadCalls(), false, golden);
    sites.insert(sites.end(), others.begin(), others.end());
  }
  const std::size_t threadsBefore = SettledThreadCount();
  for (const CallSite& site : sites) {
    SCOPED_TRACE(site.Describe());
    Watchdog watchdog(site.Describe());
    fake::ScopedFakePlatform fake;
    const DWORD error = RealisticError(site.call);
    fake->FailNext(site.call, error, site.occurrence,
                   site.testThread ? fake::FakePlatform::On::TestThread : fake::FakePlatform::On::OtherThreads);
    ScenarioRun run(*fake);
    scenario(*fake, run);
    const std::size_t withWatchdog = threadsBefore + 1;
    const std::size_t threads = ThreadsSettledAt(withWatchdog);
    check({site, error, run, fake->OpenHandles(), threads > withWatchdog ? threads - withWatchdog : 0});
  }
  return static_cast<int>(sites.size());
}
