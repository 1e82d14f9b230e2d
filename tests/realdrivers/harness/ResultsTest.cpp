#include "tests/realdrivers/harness/Results.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace realdrivers;

TEST(ResultsTest, ResultsReadBackPerProgramAndTest) {
  const std::string path = std::filesystem::temp_directory_path() / ("results-" + std::to_string(getpid()));
  ResultFolder folder(path);
  folder.Clear();
  EXPECT_FALSE(folder.SessionProblem()) << "no session ran yet";
  folder.WriteResults({{"serial_vm_tests", "A.One", Outcome::Passed, "[ RUN      ] A.One\nline\n"},
                       {"serial_vm_tests", "P/B.Two/FtdiSio", Outcome::Failed, "why\n"},
                       {"display_vm_tests", "A.One", Outcome::Skipped, ""}});
  folder.WriteSessionEnd("");
  const auto one = folder.Find("serial_vm_tests", "A.One");
  ASSERT_TRUE(one);
  EXPECT_EQ(one->outcome, Outcome::Passed);
  EXPECT_EQ(one->output, "[ RUN      ] A.One\nline\n");
  EXPECT_EQ(folder.Find("serial_vm_tests", "P/B.Two/FtdiSio")->outcome, Outcome::Failed);
  EXPECT_EQ(folder.Find("display_vm_tests", "A.One")->outcome, Outcome::Skipped);
  EXPECT_FALSE(folder.Find("display_vm_tests", "A.Two"));
  EXPECT_FALSE(folder.Find("plugin_vm_tests", "A.One"));
  EXPECT_EQ(folder.SessionProblem(), "");
  EXPECT_FALSE(folder.Unavailable());
  std::ofstream(path + "/unavailable") << "no QEMU here\n";
  EXPECT_EQ(folder.Unavailable(), "no QEMU here\n");
  folder.Clear();
  EXPECT_FALSE(folder.Unavailable()) << "a new session starts from nothing";
  std::filesystem::remove_all(path);
}

}  // namespace
