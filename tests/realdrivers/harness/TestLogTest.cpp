#include "tests/realdrivers/harness/TestLog.h"

#include <gtest/gtest.h>

namespace {

using namespace realdrivers;

TEST(TestLogTest, EachTestEndsWithItsOutcomeAndTheLinesItPrinted) {
  TestLog log;
  log.Program("display_vm_tests");
  for (const char* line : {"[==========] Running 3 tests from 1 test suite.", "[ RUN      ] A.Passes",
                           "[       OK ] A.Passes (3 ms)", "[ RUN      ] R/B.Fails/Serial8250",
                           "file.cpp:10: Failure", "Expected equality", "[  FAILED  ] R/B.Fails/Serial8250, where GetParam() = 4-byte object (12 ms)",
                           "[ RUN      ] A.Skips", "[  SKIPPED ] A.Skips (0 ms)", "[==========] 3 tests ran.",
                           "[  FAILED  ] 1 test, listed below:", "[  FAILED  ] R/B.Fails/Serial8250, where GetParam() = 4-byte object"})
    log.Line(line);
  const auto& results = log.Results();
  ASSERT_EQ(results.size(), 3u);
  EXPECT_EQ(results[0].test, "A.Passes");
  EXPECT_EQ(results[0].program, "display_vm_tests");
  EXPECT_EQ(results[0].outcome, Outcome::Passed);
  EXPECT_EQ(results[1].test, "R/B.Fails/Serial8250");
  EXPECT_EQ(results[1].outcome, Outcome::Failed);
  EXPECT_NE(results[1].output.find("Expected equality\n"), std::string::npos);
  EXPECT_EQ(results[2].outcome, Outcome::Skipped);
}

TEST(TestLogTest, ATestCutOffByTheEndOfItsProgramOrOfTheSessionFails) {
  TestLog log;
  log.Program("first");
  log.Line("[ RUN      ] A.Crashes");
  log.Program("second");
  log.Line("[ RUN      ] B.Hangs");
  log.End("the session ran out of time");
  const auto& results = log.Results();
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0].program, "first");
  EXPECT_EQ(results[0].outcome, Outcome::Failed);
  EXPECT_EQ(results[1].program, "second");
  EXPECT_NE(results[1].output.find("the session ran out of time"), std::string::npos);
  log.End("again");
  EXPECT_EQ(log.Results().size(), 2u) << "nothing runs any more";
}

}  // namespace
