// The display control activated, written to and deactivated, with each platform call failing
// in turn.
#include <gtest/gtest.h>

#include <memory>

#include "display/LCDControl_COM.h"
#include "tests/display/DisplayTestSupport.h"
#include "tests/faults/DisplayFaults.h"

namespace {

struct DisplayStates {
  bool activeAfterActivate = false, connectedAfterActivate = false;
  bool activeAfterWrite = false, activeAfterDeactivate = false;
};

void Scenario(ScenarioRun& run, DisplayStates& states) {
  auto lcd = std::make_unique<TLCDControl_COM>(nullptr);
  lcd->SetPort("COM3");
  run.Phase("activate", [&] { lcd->SetActive(true); });
  states.activeAfterActivate = lcd->GetActive();
  states.connectedAfterActivate = lcd->ComPort()->Connected();
  run.Phase("write", [&] {
    lcd->ClearScreen();
    lcd->WriteAt(1, 1, "Hi");
    lcd->DefineChar(2, Pattern, 7);
  });
  states.activeAfterWrite = lcd->GetActive();
  run.Phase("deactivate", [&] { lcd->SetActive(false); });
  states.activeAfterDeactivate = lcd->GetActive();
  run.Phase("destroy", [&] { lcd.reset(); });
}

TEST(DisplayFaultSweepTest, EveryFailingCallEndsAsDescribedAndLeavesNothingBehind) {
  DisplayStates states;
  int described = 0;
  const int sites = SweepFaults(
      [&](fake::FakePlatform&, ScenarioRun& run) { Scenario(run, states = {}); },
      [&](const ScenarioRun& run) {
        for (const char* phase : {"activate", "write", "deactivate", "destroy"}) EXPECT_EQ(run.Outcome(phase).raised, "");
        EXPECT_TRUE(states.activeAfterWrite);
        EXPECT_FALSE(states.activeAfterDeactivate);
      },
      [&](const FaultyRun& r) {
        const CallSite& site = r.site;
        const PhaseOutcome outcome = r.run.Outcome(site.phase);
        bool ok = true;
        if (site.testThread && site.phase == "activate" && FailsActivation(site)) {
          // The control's own failure, naming the port; the port stays open only when the
          // open itself succeeded.
          ok &= outcome.raised == "Exception" && outcome.message == OpenFailureMessage("COM3");
          ok &= !states.activeAfterActivate && states.connectedAfterActivate == !LeavesThePortClosed(site);
        } else if (site.testThread && site.phase == "write" && WriteFailure(site)) {
          ok &= IsPortError(outcome, WriteFailure(site), r.error) && states.activeAfterWrite;  // stays active
        } else if (site.testThread && site.phase == "deactivate" && site.call == "PurgeComm") {
          ok &= IsPortError(outcome, CError_PurgeFailed, r.error) && states.activeAfterDeactivate;
        } else {
          ok &= outcome.raised.empty();
          if (site.phase == "activate" || !site.testThread) ok &= states.activeAfterActivate;
        }
        ok &= r.run.Outcome("destroy").raised.empty();
        ok &= r.handlesLeft == HandlesTheFaultKeeps(site) && r.threadsLeft == 0;
        EXPECT_TRUE(ok) << site.Describe() << ": raised '" << outcome.raised << "' number " << outcome.number
                        << " code " << outcome.code << ", active after activation " << states.activeAfterActivate
                        << ", connected " << states.connectedAfterActivate << ", " << r.handlesLeft << " handles and "
                        << r.threadsLeft << " threads left";
        described += ok;
      });
  EXPECT_GT(sites, 20);
  std::printf("%d call sites failed in turn, %d ended as described\n", sites, described);
}

}  // namespace
