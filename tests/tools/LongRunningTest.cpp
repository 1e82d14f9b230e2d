// lcdhost's long-running mode: its placeholders, its configuration, and the whole program
// against the emulated display, through refreshes, an unplugged adapter and a stop.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "tests/support/TemporaryHome.h"
#include "tests/tools/RunningEmulator.h"
#include "tools/lcdhost/DisplayConfig.h"
#include "tools/lcdhost/Placeholders.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool SanitizedBuild = true;
#else
constexpr bool SanitizedBuild = false;
#endif

class Folder {
 public:
  Folder() {
    static int serial = 0;
    path_ = fs::temp_directory_path() / ("lcdhost-run-" + std::to_string(getpid()) + "-" + std::to_string(++serial));
    fs::create_directories(path_);
  }
  ~Folder() { fs::remove_all(path_); }
  const fs::path& Path() const { return path_; }
  fs::path Write(const std::string& name, const std::string& contents) const {
    std::ofstream(path_ / name) << contents;
    return path_ / name;
  }

 private:
  fs::path path_;
};

TEST(PlaceholdersTest, EachPlaceholderIsFilledAndAnythingElseStaysAsWritten) {
  Folder folder;
  const fs::path file = folder.Write("first-line", "first\nsecond\n");
  std::tm noon{};
  noon.tm_year = 126;
  noon.tm_mon = 11;
  noon.tm_mday = 9;
  noon.tm_hour = 12;
  noon.tm_min = 34;
  noon.tm_sec = 56;
  noon.tm_isdst = -1;
  const std::time_t when = std::mktime(&noon);
  EXPECT_EQ(FillPlaceholders("{time} {date}", when), "12:34:56 09.12.2026");
  EXPECT_EQ(FillPlaceholders("{time:%H.%M} {date:%Y}", when), "12.34 2026");
  EXPECT_EQ(FillPlaceholders("[{file:" + file.string() + "}]", when), "[first]");
  EXPECT_EQ(FillPlaceholders("{file:/does/not/exist}", when), "?");
  EXPECT_EQ(FillPlaceholders("{command:echo one; echo two}", when), "one");
  EXPECT_EQ(FillPlaceholders("{command:exit 3}", when), "") << "a command that says nothing shows nothing";
  EXPECT_TRUE(std::regex_match(FillPlaceholders("{load}", when), std::regex(R"(\d+\.\d\d)")));
  EXPECT_TRUE(std::regex_match(FillPlaceholders("{memory}", when), std::regex(R"(\d+ MB)")));
  EXPECT_EQ(FillPlaceholders("{{time} {unknown} {load:x} {open", when), "{time} {unknown} {load:x} {open");
}

TEST(PlaceholdersTest, ACommandThatHangsIsGivenUpAfterTwoSeconds) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(FillPlaceholders("{command:sleep 30}", 0), "?");
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
}

TEST(DisplayConfigTest, RowsAndTheRefreshAreReadAndMistakesNamed) {
  Folder folder;
  const DisplayConfig config =
      ReadDisplayConfig(folder.Write("good", "[display]\nrefresh = 0.5\nrow1 = {time}\nrow3 = three\n").string());
  EXPECT_EQ(config.refreshSeconds, 0.5);
  EXPECT_EQ(config.rows, (std::vector<std::string>{"{time}", "", "three"}));
  const auto failure = [&](const std::string& contents) -> std::string {
    try {
      ReadDisplayConfig(folder.Write("bad", contents).string());
    } catch (const std::runtime_error& e) {
      return e.what();
    }
    return "";
  };
  EXPECT_NE(failure("[display]\nrefresh = soon\nrow1 = x\n").find("refresh must be a number"), std::string::npos);
  EXPECT_NE(failure("[display]\nrefresh = 0\nrow1 = x\n").find("refresh"), std::string::npos);
  EXPECT_NE(failure("[other]\nrow1 = x\n").find("no rows"), std::string::npos);
  try {
    ReadDisplayConfig((folder.Path() / "missing").string());
    ADD_FAILURE() << "a missing configuration must be refused";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("cannot read the configuration"), std::string::npos);
  }
}

// What /proc says of a running process.
long ProcessField(pid_t pid, const std::string& field) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
  return -1;
}
// Context switches of the host's main thread and the module's threads (com-*): a sanitizer's
// runtime has a thread of its own that wakes on its own.
long SwitchesOf(pid_t pid) {
  long total = 0;
  for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task")) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    std::getline(comm, name);
    if (task.path().filename() != std::to_string(pid) && name.rfind("com-", 0) != 0) continue;
    std::ifstream status(task.path() / "status");
    for (std::string line; std::getline(status, line);)
      if (line.find("ctxt_switches:") != std::string::npos) total += std::stol(line.substr(line.find(':') + 1));
  }
  return total;
}
// The descriptors it holds between refreshes: a refresh running a command holds a pipe for a
// moment, so the fewest of several looks.
std::size_t DescriptorsOf(pid_t pid) {
  const fs::path fds = "/proc/" + std::to_string(pid) + "/fd";
  std::size_t fewest = SIZE_MAX;
  for (int look = 0; look < 20; ++look) {
    fewest = std::min(fewest, static_cast<std::size_t>(std::distance(fs::directory_iterator(fds), fs::directory_iterator())));
    std::this_thread::sleep_for(7ms);
  }
  return fewest;
}

class LongRunningTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home.WriteSettings("[Quorvel.dll]\nLines count=2\nCols count=16\nPort=" + (folder.Path() / "lcd").string() + "\n");
  }
  std::unique_ptr<RunningEmulator> StartEmulator() {
    auto emulator = std::make_unique<RunningEmulator>(folder.Path(), std::vector<std::string>{"--rows", "2", "--cols", "16"});
    EXPECT_TRUE(emulator->Up());
    return emulator;
  }
  std::unique_ptr<BackgroundProgram> StartHost(const std::string& config) {
    const fs::path path = folder.Write("lcdhost.conf", config);
    return std::make_unique<BackgroundProgram>(LCDHOST_PATH, std::vector<std::string>{"run", path.string()},
                                               BackgroundProgram::Output::ErrorsCaptured);
  }

  Folder folder;
  TemporaryHome home;  // the host's settings file, in a HOME the test's children inherit
};

TEST_F(LongRunningTest, TheRowsAreFilledAndRefreshedAndAStopEndsCleanly) {
  auto emulator = StartEmulator();
  const fs::path news = folder.Write("news", "first news\n");
  auto host = StartHost("[display]\nrefresh = 0.1\nrow1 = {file:" + news.string() + "}\nrow2 = {date:%Y} {command:echo ok}\n");
  EXPECT_TRUE(emulator->DumpShows("first news      \n"));
  EXPECT_TRUE(emulator->DumpShows(FillPlaceholders("{date:%Y}", std::time(nullptr)) + " ok         \n"));
  folder.Write("news", "later\n");
  EXPECT_TRUE(emulator->DumpShows("later           \n")) << "a longer line before it is overwritten";
  host->Signal(SIGTERM);
  EXPECT_EQ(host->Wait(), 0);
  EXPECT_EQ(host->OutputUntil("stopped"), "lcdhost: showing on the display\nlcdhost: stopped\n");
}

TEST_F(LongRunningTest, ManyRefreshesLeaveNoDescriptorOrMemoryBehindAndNothingRunsBetweenThem) {
  auto emulator = StartEmulator();
  auto host = StartHost("[display]\nrefresh = 0.02\nrow1 = {time:%S} {load}\nrow2 = {command:echo cycle}\n");
  ASSERT_TRUE(emulator->DumpShows("cycle"));
  std::this_thread::sleep_for(1s);  // some fifty refreshes, everything made once is made
  const std::size_t descriptors = DescriptorsOf(host->Pid());
  const long memory = ProcessField(host->Pid(), "VmRSS");
  std::this_thread::sleep_for(4s);  // two hundred more
  EXPECT_EQ(DescriptorsOf(host->Pid()), descriptors);
  // A sanitizer's allocator keeps what is freed for a while: its memory says nothing of leaks.
  if (!SanitizedBuild) {
    EXPECT_LT(ProcessField(host->Pid(), "VmRSS") - memory, 512) << "kB grown over two hundred refreshes";
  }
  host->Stop();

  auto slow = StartHost("[display]\nrefresh = 30\nrow1 = idle\n");
  ASSERT_TRUE(emulator->DumpShows("idle"));
  std::this_thread::sleep_for(300ms);
  const long switches = SwitchesOf(slow->Pid());
  std::this_thread::sleep_for(1s);
  EXPECT_LE(SwitchesOf(slow->Pid()) - switches, 1) << "wake-ups between refreshes";
}

TEST_F(LongRunningTest, APulledAdapterIsReportedAndPickedUpAgainWhenItReturns) {
  auto emulator = StartEmulator();
  auto host = StartHost("[display]\nrefresh = 0.1\nrow1 = still here\n");
  ASSERT_TRUE(emulator->DumpShows("still here"));
  emulator->Stop();  // the adapter is pulled: its line hangs up and its link goes
  emulator.reset();
  EXPECT_NE(host->OutputUntil("still not there").find("lost the display"), std::string::npos);
  fs::remove(folder.Path() / "screen.txt");
  emulator = StartEmulator();
  EXPECT_TRUE(emulator->DumpShows("still here")) << "the display comes back";
  EXPECT_NE(host->OutputUntil("is back").find("lcdhost: the display is back\n"), std::string::npos);
}

TEST_F(LongRunningTest, AnAdapterAbsentAtTheStartIsWaitedFor) {
  auto host = StartHost("[display]\nrefresh = 0.1\nrow1 = late\n");
  EXPECT_NE(host->OutputUntil("cannot open").find("lcdhost: cannot open the display"), std::string::npos);
  auto emulator = StartEmulator();
  EXPECT_TRUE(emulator->DumpShows("late"));
  EXPECT_NE(host->OutputUntil("showing").find("lcdhost: showing on the display"), std::string::npos);
}

}  // namespace
