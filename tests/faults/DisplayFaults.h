// What the display control makes of a failing platform call, shared by the control's sweep and
// the module's: opening and the start-up string fail as the control's own open failure,
// later writes as the port's exception.
#pragma once

#include <set>
#include <string>

#include "serial/ComErrors.h"
#include "tests/faults/FaultSweep.h"

// The calls whose failure makes activation fail, and those that also leave the port closed.
inline bool FailsActivation(const CallSite& site) {
  static const std::set<std::string> calls = {"CreateFileA",        "SetupComm", "SetCommState",
                                              "SetCommTimeouts",    "GetCommModemStatus", "WriteFile",
                                              "WaitForSingleObject", "GetOverlappedResult"};
  return calls.count(site.call) || site.IsWriteEvent();
}
inline bool LeavesThePortClosed(const CallSite& site) {
  static const std::set<std::string> calls = {"CreateFileA", "SetupComm", "SetCommState", "SetCommTimeouts"};
  return calls.count(site.call) > 0;
}

// The port's error number when a write fails on this call; 0 when the call does not fail it.
inline std::int32_t WriteFailure(const CallSite& site) {
  if (site.IsWriteEvent()) return CError_InvalidAsync;
  static const std::set<std::string> calls = {"WriteFile", "WaitForSingleObject", "GetOverlappedResult"};
  return calls.count(site.call) ? CError_WriteFailed : 0;
}

// The outcome is the port's exception with this number and, unless it is the component's own
// failure, the injected code.
inline bool IsPortError(const PhaseOutcome& outcome, std::int32_t number, platform::DWORD error) {
  const std::int32_t code = number == CError_InvalidAsync ? -1 : static_cast<std::int32_t>(error);
  return outcome.raised == "EComPort" && outcome.number == number && outcome.code == code;
}
