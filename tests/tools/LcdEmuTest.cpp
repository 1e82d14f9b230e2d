// The emulator as a program on a real pseudo-terminal: its answers, its keypad in both modes
// from each source of keys, the line's pace, its ROMs and its command line.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>

#include "tests/support/ChildProcess.h"
#include "tests/support/PseudoTerminal.h"
#include "tests/support/TemporaryHome.h"
#include "tests/tools/RunningEmulator.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string AutoTransmitOff("\xFE\x4F", 2), Poll("\xFE\x26", 2);

// What a terminal shows next: the first read once anything is there, or nothing after `limit`.
std::string ReadSome(int fd, std::chrono::milliseconds limit) {
  pollfd pfd{fd, POLLIN, 0};
  char buffer[4096];
  if (poll(&pfd, 1, static_cast<int>(limit.count())) <= 0) return {};
  const ssize_t n = read(fd, buffer, sizeof buffer);
  return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

class LcdEmuTest : public ::testing::Test {
 protected:
  // Starts the emulator with these options and opens the host's end of its line.
  void Start(const std::vector<std::string>& options) {
    emulator.emplace(home.Path(), options);
    ASSERT_TRUE(emulator->Up()) << "lcdemu did not come up";
    line.emplace(emulator->Link());
    ASSERT_TRUE(line->Open());
  }
  TemporaryHome home;
  std::optional<RunningEmulator> emulator;
  std::optional<HostEnd> line;
};

class LcdEmuAnswerTest : public LcdEmuTest {
 protected:
  void SetUp() override { Start({"--module-type", "0x33", "--firmware", "0x0102", "--serial-number", "0xBEFE"}); }
};

TEST_F(LcdEmuAnswerTest, TheModuleTypeQueryAnswersOneByte) {
  line->Write("\xFE\x37");
  EXPECT_EQ(Hex(line->Read(1)), "33");
}

TEST_F(LcdEmuAnswerTest, TheFirmwareQueryAnswersTwoBytes) {
  line->Write("\xFE\x36");
  EXPECT_EQ(Hex(line->Read(2)), "01 02");
}

TEST_F(LcdEmuAnswerTest, TheSerialNumberQueryAnswersTwoBytes) {
  line->Write("\xFE\x35");
  EXPECT_EQ(Hex(line->Read(2)), "BE FE");
  EXPECT_TRUE(emulator->DumpShows("answers 1"));
}

TEST_F(LcdEmuTest, KeysWrittenToTheControlPipeAreSentAsTheyArePressed) {
  Start({});
  ASSERT_TRUE(emulator->PressKeys("ab"));
  EXPECT_EQ(line->Read(2), "AB");
  ASSERT_TRUE(emulator->PressKeys("y\n"));
  EXPECT_EQ(line->Read(1), "Y");
  EXPECT_TRUE(emulator->DumpShows("keypad: auto-transmit on, waiting none, sent 3 (last Y), dropped 0"));
}

TEST_F(LcdEmuTest, PolledKeysWaitUntilTheHostAsks) {
  Start({});
  line->Write(AutoTransmitOff + Poll);
  ASSERT_EQ(Hex(line->Read(1)), "00") << "nothing waits yet";
  ASSERT_TRUE(emulator->PressKeys("dE"));
  ASSERT_TRUE(emulator->DumpShows("waiting DE"));
  EXPECT_EQ(Hex(line->Read(1, 100ms)), "") << "nothing is sent before a poll";
  line->Write(Poll + Poll + Poll);
  EXPECT_EQ(Hex(line->Read(3)), "44 45 00");
}

TEST_F(LcdEmuTest, KeysFromTheCommandLineArePressedOnceTheHostHasSpoken) {
  Start({"--keys", "kL"});
  // What the host said first is heard before the keys are pressed: they wait for polls.
  line->Write(AutoTransmitOff);
  ASSERT_TRUE(emulator->DumpShows("waiting KL"));
  line->Write(Poll + Poll);
  EXPECT_EQ(line->Read(2), "KL");
}

TEST_F(LcdEmuTest, KeysTypedInTheLiveViewReachTheLine) {
  const fs::path link = home.Path() / "lcd";
  int terminal = -1;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
  ASSERT_GE(child, 0);
  if (child == 0) {
    execl(LCDEMU_PATH, LCDEMU_PATH, "--link", link.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  std::string shown;
  while (shown.find("type a..y") == std::string::npos) {
    const std::string more = ReadSome(terminal, 5s);
    if (more.empty()) break;
    shown += more;
  }
  ASSERT_NE(shown.find("type a..y to press the keys A..Y"), std::string::npos) << shown;
  EXPECT_NE(shown.find("keypad: auto-transmit on"), std::string::npos);
  HostEnd host(link);
  ASSERT_TRUE(host.Open());
  ASSERT_EQ(write(terminal, "gq", 2), 2);
  EXPECT_EQ(host.Read(2), "GQ");
  kill(child, SIGTERM);
  // The terminal is drained so that the last frame never blocks the emulator's exit.
  while (!ReadSome(terminal, 5s).empty()) {
  }
  close(terminal);
  EXPECT_EQ(ExitStatus(child), 0);
}

TEST_F(LcdEmuTest, TheBaudRateTakesBytesNoFasterThanTheLine) {
  Start({"--rows", "4", "--cols", "20", "--baud", "9600"});
  // A full frame: four positions and eighty characters, 96 bytes, about 100 ms at 9600 baud.
  std::string frame;
  for (char row = 1; row <= 4; ++row) frame += std::string{'\xFE', 'G', 1, row} + std::string(20, static_cast<char>('0' + row));
  const auto sent = std::chrono::steady_clock::now();
  line->Write(frame);
  ASSERT_TRUE(emulator->DumpShows(std::string(20, '4')));
  const auto took = std::chrono::steady_clock::now() - sent;
  EXPECT_GE(took, 99ms);
  EXPECT_LT(took, 5s) << "generous: machines are noisy";
}

TEST_F(LcdEmuTest, TheDumpShowsCodesInTheChosenRom) {
  Start({"--rom", "western", "--model", "plain"});
  line->Write("\x7E\xB1\xE0\x5C" "A");
  ASSERT_TRUE(emulator->DumpShows("→ｱα¥A"));
  EXPECT_NE(emulator->Dump().find("display: 2 x 16, model plain, ROM western"), std::string::npos);
  EXPECT_NE(emulator->Dump().find("keypad: none"), std::string::npos);
}

TEST_F(LcdEmuTest, EndingRemovesTheLinkAndTheControlPipeItMade) {
  Start({});
  ASSERT_TRUE(fs::is_fifo(emulator->ControlPipe()));
  line.reset();
  EXPECT_EQ(emulator->Stop(), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(emulator->Link())));
  EXPECT_FALSE(fs::exists(emulator->ControlPipe()));
}

TEST(LcdEmuCommandLineTest, WhatCannotRunIsSaidAndNothingIsLeftBehind) {
  TemporaryHome home;
  const std::string link = (home.Path() / "lcd").string();
  const std::pair<std::vector<std::string>, std::string> refused[] = {
      {{"--rows", "4"}, "--link PATH is required"},
      {{"--link", link, "--model", "lk"}, "unknown model 'lk'"},
      {{"--link", link, "--rom", "a02"}, "unknown ROM 'a02'"},
      {{"--link", link, "--keys", "az"}, "the keys A..Y, not 'z'"},
      {{"--link", link, "--model", "plain", "--keys", "a"}, "the plain model has no keypad"},
      {{"--link", link, "--rows", "3"}, "1, 2 or 4 rows"},
      {{"--link", link, "--baud", "0"}, "--baud takes a rate above 0"},
      {{"--link", link, "--firmware", "0x10000"}, "--firmware takes a number from 0 to 65535"},
  };
  for (const auto& [args, message] : refused) {
    const ProgramOutcome run = RunProgram(LCDEMU_PATH, args);
    EXPECT_EQ(run.status, 2) << message;
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
  }
  EXPECT_FALSE(fs::exists(fs::symlink_status(link)));

  std::ofstream(home.Path() / "keys") << "a file";
  const ProgramOutcome notAPipe =
      RunProgram(LCDEMU_PATH, {"--link", link, "--control", (home.Path() / "keys").string(), "--quiet"});
  EXPECT_EQ(notAPipe.status, 1);
  EXPECT_NE(notAPipe.err.find("is not a named pipe"), std::string::npos) << notAPipe.err;
  EXPECT_FALSE(fs::exists(fs::symlink_status(link))) << "no link is left behind";
  EXPECT_TRUE(fs::is_regular_file(home.Path() / "keys"));

  const ProgramOutcome help = RunProgram(LCDEMU_PATH, {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--baud RATE"), std::string::npos);
}

}  // namespace
