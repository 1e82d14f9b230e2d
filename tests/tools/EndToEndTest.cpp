// The whole road: lcdhost → the module → a pseudo-terminal → lcdemu, checked on the screen the
// emulator shows.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "tests/support/ChildProcess.h"
#include "tests/support/TemporaryHome.h"
#include "tests/tools/RunningEmulator.h"

namespace {

namespace fs = std::filesystem;

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(emulator.Up()) << "lcdemu did not come up";
    home.WriteSettings("[Quorvel.dll]\nPort=" + emulator.Link().string() + "\nLines count=4\nCols count=20\nBaudrate=7\n");
  }
  std::string Screen() const { return emulator.Dump(); }
  std::string Row(int row) const { return emulator.DumpLine(row); }
  bool ScreenShows(const std::string& text) const { return emulator.DumpShows(text); }
  bool ScreenIsBlank() const {
    return Eventually([&] {
      for (int row = 1; row <= 4; ++row)
        if (Row(row) != std::string(20, ' ')) return false;
      return true;
    });
  }
  ProgramOutcome Host(const std::vector<std::string>& args) { return RunProgram(LCDHOST_PATH, args); }

  TemporaryHome home;
  RunningEmulator emulator{home.Path(), {"--rows", "4", "--cols", "20"}};
};

TEST_F(EndToEndTest, TextArrivesWhereTheHostPutIt) {
  ASSERT_EQ(Host({"write", "1", "2", "Привет", "write", "8", "2", "world"}).status, 0);
  ASSERT_TRUE(ScreenShows("world"));
  EXPECT_EQ(Row(2), "Привет world        ");
  EXPECT_EQ(Row(1), std::string(20, ' '));
  EXPECT_NE(Screen().find("start-ups 1, unknown commands 0"), std::string::npos);
}

TEST_F(EndToEndTest, AUserCharacterIsDrawnAndAClearEmptiesTheScreen) {
  ASSERT_EQ(Host({"char", "2", "0", "a", "1f", "1f", "e", "4", "0", "0", "write", "1", "1", "\x03 love"}).status, 0);
  ASSERT_TRUE(ScreenShows("love"));
  EXPECT_EQ(Row(1), "\u2461 love" + std::string(14, ' ')) << "text code 3 shows user character 2";
  EXPECT_NE(Screen().find("user character 2: ..... .#.#. ##### ##### .###. ..#.. ..... ....."), std::string::npos);
  ASSERT_EQ(Host({"clear"}).status, 0);
  EXPECT_TRUE(ScreenShows("start-ups 2"));
  EXPECT_TRUE(ScreenIsBlank()) << Screen();
}

// The dialog as a text form on lcdhost's own terminal, answered like a user at a keyboard.
TEST_F(EndToEndTest, ConfigureChangesRowsAndColumnsAndRestartsTheDisplay) {
  int terminal = -1;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
  ASSERT_GE(child, 0);
  if (child == 0) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("QT_QPA_PLATFORM");
    execl(LCDHOST_PATH, LCDHOST_PATH, "configure", "info", static_cast<char*>(nullptr));
    _exit(127);
  }
  const std::vector<std::string> answers = {"", "2", "16", "", ""};  // port, rows, columns, rate, OK
  std::string shown;
  std::size_t answered = 0;
  for (;;) {
    pollfd pfd{terminal, POLLIN, 0};
    if (poll(&pfd, 1, 10000) <= 0) break;
    char buffer[1024];
    const ssize_t n = read(terminal, buffer, sizeof buffer);
    if (n <= 0) break;
    shown.append(buffer, static_cast<std::size_t>(n));
    std::size_t prompts = 0;
    for (std::size_t at = shown.find("]: "); at != std::string::npos; at = shown.find("]: ", at + 1)) ++prompts;
    while (answered < prompts && answered < answers.size()) {
      const std::string line = answers[answered++] + "\n";
      [[maybe_unused]] ssize_t written = write(terminal, line.data(), line.size());
    }
  }
  close(terminal);
  EXPECT_EQ(ExitStatus(child), 0) << shown;
  EXPECT_NE(shown.find("строк: [4]"), std::string::npos) << shown;
  EXPECT_NE(shown.find("2 x 16"), std::string::npos) << "the control took the new counts";
  EXPECT_NE(home.ReadSettings()->find("Lines count=2\nCols count=16\n"), std::string::npos);
  EXPECT_TRUE(ScreenShows("start-ups 2")) << "the display was started again after the dialog";
}

// Keys pressed on the display travel back through the port's receive path: the event thread
// sees them arrive (EV_RXCHAR), they wait in the input queue, and OnRxChar reports them on
// lcdhost's main thread. The display lets go of its port meanwhile and takes it back after.
TEST_F(EndToEndTest, KeysPressedOnTheDisplayArriveAtTheHost) {
  BackgroundProgram host(LCDHOST_PATH, {"write", "1", "1", "Press a key", "listen", emulator.Link().string(), "60000"},
                         BackgroundProgram::Output::Captured);
  ASSERT_NE(host.OutputUntil("listening on").find("listening on " + emulator.Link().string()), std::string::npos);
  ASSERT_TRUE(emulator.PressKeys("a"));
  EXPECT_NE(host.OutputUntil("bytes waiting: 1\n").find("bytes waiting: 1\n"), std::string::npos);
  ASSERT_TRUE(emulator.PressKeys("bc"));
  const std::string shown = host.OutputUntil("bytes waiting: 3\n");
  EXPECT_NE(shown.find("bytes waiting: 3\n"), std::string::npos) << shown;
  host.Signal(SIGINT);
  EXPECT_EQ(host.Wait(), 0);
  EXPECT_TRUE(ScreenShows("start-ups 2")) << "the display took its port back";
  EXPECT_NE(Screen().find("keypad: auto-transmit on, waiting none, sent 3 (last C)"), std::string::npos) << Screen();
  EXPECT_EQ(Row(1), "Press a key" + std::string(9, ' '));
}

}  // namespace
