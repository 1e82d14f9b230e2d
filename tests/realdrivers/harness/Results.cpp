#include "tests/realdrivers/harness/Results.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace realdrivers {

namespace {

constexpr std::string_view ResultTag = "@@result ";

const char* OutcomeName(Outcome outcome) {
  switch (outcome) {
    case Outcome::Passed: return "passed";
    case Outcome::Skipped: return "skipped";
    case Outcome::Failed: break;
  }
  return "failed";
}

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& contents) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << contents;
}

}  // namespace

std::string FormatResults(const std::vector<TestResult>& results) {
  std::string text;
  for (const TestResult& r : results) {
    text += std::string(ResultTag) + OutcomeName(r.outcome) + " " + r.test + "\n";
    text += r.output;
  }
  return text;
}

std::vector<TestResult> ParseResults(const std::string& program, const std::string& text) {
  std::vector<TestResult> results;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(ResultTag, 0) == 0) {
      const std::string rest = line.substr(ResultTag.size());
      const auto space = rest.find(' ');
      const std::string outcome = rest.substr(0, space);
      TestResult r;
      r.program = program;
      r.test = space == std::string::npos ? "" : rest.substr(space + 1);
      r.outcome = outcome == "passed" ? Outcome::Passed : outcome == "skipped" ? Outcome::Skipped : Outcome::Failed;
      results.push_back(std::move(r));
    } else if (!results.empty()) {
      results.back().output += line + "\n";
    }
  }
  return results;
}

void ResultFolder::Clear() const {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
  std::filesystem::create_directories(path_, ignored);
}

void ResultFolder::WriteResults(const std::vector<TestResult>& results) const {
  std::map<std::string, std::vector<TestResult>> byProgram;
  for (const TestResult& r : results) byProgram[r.program].push_back(r);
  for (const auto& [program, list] : byProgram) WriteFile(ProgramFile(program), FormatResults(list));
}

void ResultFolder::WriteSessionEnd(const std::string& problem) const { WriteFile(path_ + "/session", problem); }

std::optional<std::string> ResultFolder::Unavailable() const { return ReadFile(path_ + "/unavailable"); }

std::optional<std::string> ResultFolder::SessionProblem() const { return ReadFile(path_ + "/session"); }

std::optional<TestResult> ResultFolder::Find(const std::string& program, const std::string& test) const {
  const std::optional<std::string> text = ReadFile(ProgramFile(program));
  if (!text) return std::nullopt;
  for (TestResult& r : ParseResults(program, *text))
    if (r.test == test) return std::move(r);
  return std::nullopt;
}

}  // namespace realdrivers
