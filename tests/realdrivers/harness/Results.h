// The results of one session in the machine, kept in a folder for the ctest tests that report
// them one by one: a file a program with every test's outcome and output, the session's state,
// and why the machine could not run, when it could not.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tests/realdrivers/harness/TestLog.h"

namespace realdrivers {

class ResultFolder {
 public:
  explicit ResultFolder(std::string path) : path_(std::move(path)) {}

  // Removes what an earlier session left.
  void Clear() const;
  void WriteResults(const std::vector<TestResult>& results) const;
  // How the session went: empty when it ran to its end, else what went wrong.
  void WriteSessionEnd(const std::string& problem) const;

  std::optional<std::string> Unavailable() const;  // why the machine could not run
  std::optional<std::string> SessionProblem() const;  // nullopt: no session ran
  std::optional<TestResult> Find(const std::string& program, const std::string& test) const;

  std::string SessionLog() const { return path_ + "/session.log"; }
  std::string MachineLog() const { return path_ + "/qemu.log"; }

 private:
  std::string ProgramFile(const std::string& program) const { return path_ + "/" + program + ".results"; }

  std::string path_;
};

// A result file's format: each test starts with a line "@@result <outcome> <name>" and its
// output follows.
std::string FormatResults(const std::vector<TestResult>& results);
std::vector<TestResult> ParseResults(const std::string& program, const std::string& text);

}  // namespace realdrivers
