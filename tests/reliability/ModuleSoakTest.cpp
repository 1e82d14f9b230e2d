// The host's whole round, many times over on a real pseudo-terminal: InitHardware, a few
// display commands, the settings dialog confirmed (which closes, saves and reopens), and
// DoneHardware. Descriptors, threads and heap come back to where they were, and the settings
// file holds the last answer.
#include <gtest/gtest.h>

#include <string>

#include "display/LCDControl_COM.h"
#include "plugin/HostInterface.h"
#include "plugin/SettingsUnit.h"
#include "tests/reliability/Baseline.h"
#include "tests/reliability/HeapInUse.h"
#include "tests/support/ScriptedFormRunner.h"
#include "tests/support/TemporaryHome.h"

namespace {

// Every round saves the settings file, flushed to disk; a hundred rounds keep the disk's share
// of the time small and still show a leak of a few hundred bytes a round above the tolerance.
constexpr int Rounds = 100;

TEST(ModuleSoakTest, ManyRoundsOfTheHostsCallsLeaveNothingBehind) {
  PseudoTerminal pty;
  TemporaryHome home;
  home.WriteSettings("[Quorvel.dll]\nPort=" + pty.DevicePath() + "\n");
  HostInfoRecord* record = getHardware();
  int round = 0;
  ScriptedFormRunner runner([&](TForm& form) {
    auto& dialog = dynamic_cast<TfrmSettings&>(form);
    dialog.cbRows->UserType(round % 2 ? "4" : "2");
    dialog.cbCols->UserType(round % 2 ? "20" : "16");
    dialog.Button1->Click();
    return form.ModalResult();
  });
  auto oneRound = [&] {
    ASSERT_EQ(record->InitHardware(), 0);
    TLCDBaseControl& display = *record->Control;
    display.ClearScreen();
    display.WriteAt(1, 1, "round");
    ASSERT_EQ(record->ConfigureHardware(), 0);
    // Start-up, clear, position, five characters, start-up again after the dialog.
    ASSERT_EQ(pty.Read(3 + 2 + 4 + 5 + 3).size(), 17u) << "round " << round;
    ASSERT_EQ(record->DoneHardware(), 0);
  };
  oneRound();  // the settings file exists from here on, as in every later round
  Baseline baseline;
  const std::size_t heapBefore = HeapInUse();
  for (round = 1; round <= Rounds; ++round) {  // ends on an even round: 2 rows of 16
    oneRound();
    if (HasFatalFailure()) return;
  }
  baseline.ExpectRestored();
  EXPECT_LE(HeapInUse(), heapBefore + HeapTolerance);
  EXPECT_EQ(home.ReadSettings(), "[Quorvel.dll]\nPort=" + pty.DevicePath() + "\nLines count=2\nCols count=16\nBaudrate=5\n");
}

}  // namespace
