#include "tests/realdrivers/harness/TestLog.h"

#include <optional>

namespace realdrivers {

namespace {

// The test named by a status line such as "[       OK ] Suite.Name (12 ms)".
std::optional<std::string> NameAfter(std::string_view line, std::string_view tag) {
  if (line.rfind(tag, 0) != 0) return std::nullopt;
  std::string_view name = line.substr(tag.size());
  if (const auto space = name.find(' '); space != std::string_view::npos) name = name.substr(0, space);
  if (name.empty()) return std::nullopt;
  return std::string(name);
}

}  // namespace

void TestLog::Program(std::string_view name) {
  End("the program ended during this test");
  program_ = std::string(name);
}

void TestLog::Line(std::string_view line) {
  if (const auto started = NameAfter(line, "[ RUN      ] ")) {
    End("another test started before this one ended");
    current_ = TestResult{program_, *started, Outcome::Failed, std::string(line) + "\n"};
    running_ = true;
    return;
  }
  if (!running_) return;
  current_.output += line;
  current_.output += '\n';
  // The summary at a program's end names failed tests again; only the running test ends here.
  const std::pair<std::string_view, Outcome> ends[] = {
      {"[       OK ] ", Outcome::Passed}, {"[  FAILED  ] ", Outcome::Failed}, {"[  SKIPPED ] ", Outcome::Skipped}};
  for (const auto& [tag, outcome] : ends) {
    if (NameAfter(line, tag) == current_.test) {
      current_.outcome = outcome;
      results_.push_back(std::move(current_));
      running_ = false;
      return;
    }
  }
}

void TestLog::End(std::string_view why) {
  if (!running_) return;
  current_.outcome = Outcome::Failed;
  current_.output += "[ bench    ] ";
  current_.output += why;
  current_.output += '\n';
  results_.push_back(std::move(current_));
  running_ = false;
}

}  // namespace realdrivers
