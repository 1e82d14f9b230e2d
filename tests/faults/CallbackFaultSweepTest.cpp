// The module's three callbacks, with the dialog answered OK, and each platform call failing in
// turn.
#include <gtest/gtest.h>

#include "display/LCDControl_COM.h"
#include "plugin/HostInterface.h"
#include "plugin/SettingsUnit.h"
#include "tests/display/DisplayTestSupport.h"
#include "tests/faults/DisplayFaults.h"
#include "tests/support/ScriptedFormRunner.h"
#include "tests/support/TemporaryHome.h"

namespace {

struct ModuleStates {
  bool controlAfterInit = false, activeAfterInit = false, controlAfterDone = true;
};

TEST(CallbackFaultSweepTest, EveryFailingCallEndsAsDescribedAndLeavesNothingBehind) {
  TemporaryHome home;
  const std::string settings = "[Quorvel.dll]\nPort=COM3\nLines count=4\nCols count=20\n";
  ScriptedFormRunner pressOk([](TForm& form) {
    dynamic_cast<TfrmSettings&>(form).Button1->Click();
    return form.ModalResult();
  });
  HostInfoRecord* record = getHardware();
  ModuleStates states;
  int described = 0;
  const int sites = SweepFaults(
      [&](fake::FakePlatform&, ScenarioRun& run) {
        home.WriteSettings(settings);
        states = {};
        run.Phase("init", [&] { record->InitHardware(); });
        auto* control = static_cast<TLCDControl_COM*>(record->Control);
        states.controlAfterInit = control != nullptr;
        states.activeAfterInit = control && control->GetActive();
        run.Phase("configure", [&] { record->ConfigureHardware(); });
        run.Phase("done", [&] { record->DoneHardware(); });
        states.controlAfterDone = record->Control != nullptr;
      },
      [&](const ScenarioRun& run) {
        for (const char* phase : {"init", "configure", "done"}) EXPECT_EQ(run.Outcome(phase).raised, "") << phase;
        EXPECT_TRUE(states.activeAfterInit);
        EXPECT_EQ(home.ReadSettings()->find("Port=COM3"), settings.find("Port=COM3")) << "saved after OK";
      },
      [&](const FaultyRun& r) {
        const CallSite& site = r.site;
        const PhaseOutcome outcome = r.run.Outcome(site.phase);
        bool ok = true;
        if (site.testThread && site.call == "PurgeComm" && site.phase != "init") {
          // Deactivating for the dialog, or for good: the port's exception reaches the host.
          ok &= IsPortError(outcome, CError_PurgeFailed, r.error);
        } else if (site.testThread && site.phase != "done" &&
                   (FailsActivation(site) || (site.call == "CloseHandle" && site.next == "CreateFileA"))) {
          // A device whose close failed is still held by the platform, so reopening it after
          // the dialog fails like any other open.
          ok &= outcome.raised == "Exception" && outcome.message == OpenFailureMessage("COM3");
          // A control that could not be activated is kept, inactive, for DoneHardware.
          if (site.phase == "init") ok &= states.controlAfterInit && !states.activeAfterInit;
        } else {
          ok &= outcome.raised.empty();
        }
        ok &= !states.controlAfterDone && r.run.Outcome("done").raised.empty() == !(site.phase == "done" && site.call == "PurgeComm");
        ok &= r.handlesLeft == HandlesTheFaultKeeps(site) && r.threadsLeft == 0;
        EXPECT_TRUE(ok) << site.Describe() << ": raised '" << outcome.raised << "' number " << outcome.number
                        << " code " << outcome.code << ", control after init " << states.controlAfterInit
                        << ", active " << states.activeAfterInit << ", control after done " << states.controlAfterDone
                        << ", " << r.handlesLeft << " handles and " << r.threadsLeft << " threads left";
        described += ok;
      });
  EXPECT_GT(sites, 40);
  std::printf("%d call sites failed in turn, %d ended as described\n", sites, described);
}

}  // namespace
