// The reference host against a pseudo-terminal: the line carries what its commands ask for.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/PseudoTerminal.h"
#include "tests/support/TemporaryHome.h"

namespace {

ProgramOutcome RunHost(const std::vector<std::string>& args) { return RunProgram(LCDHOST_PATH, args); }

class LcdHostTest : public ::testing::Test {
 protected:
  void SetUp() override { home.WriteSettings("[Quorvel.dll]\nPort=" + pty.DevicePath() + "\nCols count=20\n"); }
  TemporaryHome home;
  PseudoTerminal pty;
};

TEST_F(LcdHostTest, CommandsReachTheLineInOrder) {
  const ProgramOutcome run = RunHost({"write", "1", "2", "Привет", "clear", "char", "3", "1f", "11", "11", "11", "11", "11",
                               "1f", "0", "write", "10", "1", "OK"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Hex(pty.ReadAvailable()),
            "FE C0 0C FE 47 01 02 A8 70 B8 B3 65 BF FE 58 FE 4E 03 1F 11 11 11 11 11 1F 00 FE 47 0A 01 4F 4B");
}

TEST_F(LcdHostTest, InfoShowsTheRecordInUtf8) {
  const ProgramOutcome run = RunHost({"info"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("HD44780-compatible comport-driver"), std::string::npos);
  EXPECT_NE(run.out.find("Компонент управления"), std::string::npos);
  EXPECT_NE(run.out.find("2 x 20"), std::string::npos);
}

TEST_F(LcdHostTest, TheClockShowsTimeAndDate) {
  const ProgramOutcome run = RunHost({"clock", "1"});
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string line = pty.ReadAvailable();
  // Start-up, then the time centred on row 1 and the date on row 2.
  ASSERT_GE(line.size(), 3u + 4 + 8 + 4 + 10);
  EXPECT_EQ(Hex(line.substr(3, 4)), "FE 47 07 01");
  EXPECT_EQ(line[9], ':');
  EXPECT_EQ(Hex(line.substr(15, 4)), "FE 47 06 02");
  EXPECT_EQ(line[21], '.');
}

TEST_F(LcdHostTest, AModuleFailureIsPrintedInUtf8AndEndsWithAnError) {
  home.WriteSettings("[Quorvel.dll]\nPort=COM9\n");
  const ProgramOutcome run = RunHost({"clear"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Ошибка при открытии последовательного порта (COM9)!"), std::string::npos) << run.err;
  EXPECT_EQ(RunHost({"bogus"}).status, 2);
}

TEST_F(LcdHostTest, ListeningOnAPortThatCannotBeOpenedFailsAndTheDisplayComesBack) {
  const ProgramOutcome run = RunHost({"listen", home.Path().string() + "/no-such-port", "100", "clear"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("lcdhost: "), std::string::npos) << run.err;
  EXPECT_EQ(run.out.find("listening"), std::string::npos);
  // The start-up string twice: the display was opened again after the failed listen; the clear
  // after it never ran.
  EXPECT_EQ(Hex(pty.ReadAvailable()), "FE C0 0C FE C0 0C");
  EXPECT_EQ(RunHost({"listen", home.Path().string() + "/no-such-port"}).status, 2) << "a listen without its time is refused before anything runs";
}

}  // namespace
