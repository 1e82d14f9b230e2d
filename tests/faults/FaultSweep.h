// Every platform call a scenario makes, failed in turn: the scenario runs once as it should, to
// find its call sites, then once per site with that one call failing. Each run ends with
// nothing left behind; what the run raised is judged by the test.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/support/FakePlatform.h"

// One place a platform call is made: the n-th call of that name on its side (the test's own
// thread, or the port's event thread), and the scenario's phase it falls in.
struct CallSite {
  std::string call;
  int occurrence = 0;
  bool testThread = true;
  std::string phase;
  std::string next;  // the call that followed it on the same side in the run without faults
  std::string Describe() const;
  // A write's own event (CreateEventA just before its WriteFile), as against a thread's.
  bool IsWriteEvent() const { return call == "CreateEventA" && next == "WriteFile"; }
};

// How one phase of a scenario ended.
struct PhaseOutcome {
  std::string raised;  // empty: nothing; otherwise "EComPort", "Exception" or "other"
  std::int32_t number = 0;
  std::int32_t code = 0;
  std::string message;
};

class ScenarioRun {
 public:
  explicit ScenarioRun(fake::FakePlatform& fake) : fake_(fake) {}
  // Runs a phase, noting where its calls begin and what it raised.
  void Phase(const std::string& name, const std::function<void()>& body);
  // What the phase ended with; a phase that did not run reads as having raised nothing.
  PhaseOutcome Outcome(const std::string& phase) const;
  // The phase the test thread's n-th call fell in.
  std::string PhaseOfCall(std::size_t index) const;

 private:
  fake::FakePlatform& fake_;
  std::vector<std::pair<std::size_t, std::string>> starts_;
  std::map<std::string, PhaseOutcome> outcomes_;
};

// What one faulty run left: the run itself, its site and the fake after everything was freed.
struct FaultyRun {
  const CallSite& site;
  platform::DWORD error;
  const ScenarioRun& run;
  std::size_t handlesLeft;
  std::size_t threadsLeft;  // beyond those before the run
};

using Scenario = std::function<void(fake::FakePlatform&, ScenarioRun&)>;

// Runs the sweep and returns how many sites it failed. `judgeUnfaulted` judges the run without
// a fault, `check` each faulty run; a run that does not end within a time limit aborts the
// program naming its site.
int SweepFaults(const Scenario& scenario, const std::function<void(const ScenarioRun&)>& judgeUnfaulted,
                const std::function<void(const FaultyRun&)>& check);

// The error a platform call plausibly fails with.
platform::DWORD RealisticError(const std::string& call);

// The handles a run may leave: only the one whose CloseHandle was the failing call.
inline std::size_t HandlesTheFaultKeeps(const CallSite& site) { return site.call == "CloseHandle" ? 1 : 0; }
