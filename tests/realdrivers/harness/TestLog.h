// Follows the guest's console as Google Test reports on it: which program runs, which test,
// how each test ended and what it printed meanwhile.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace realdrivers {

enum class Outcome { Passed, Failed, Skipped };

struct TestResult {
  std::string program;
  std::string test;  // Google Test's full name, as ctest lists it
  Outcome outcome = Outcome::Failed;
  std::string output;
};

class TestLog {
 public:
  // A program of the guest starts.
  void Program(std::string_view name);
  void Line(std::string_view line);
  // The guest's session ended (or was cut off): a test still running did not finish.
  void End(std::string_view why);

  const std::vector<TestResult>& Results() const { return results_; }

 private:
  std::string program_;
  bool running_ = false;
  TestResult current_;
  std::vector<TestResult> results_;
};

}  // namespace realdrivers
