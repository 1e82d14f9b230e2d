#include "tests/realdrivers/harness/Qmp.h"

namespace realdrivers {

std::optional<std::string> JsonText(std::string_view json, std::string_view key) {
  const std::string quoted = "\"" + std::string(key) + "\"";
  for (auto at = json.find(quoted); at != std::string_view::npos; at = json.find(quoted, at + 1)) {
    auto i = json.find_first_not_of(" \t", at + quoted.size());
    if (i == std::string_view::npos || json[i] != ':') continue;
    i = json.find_first_not_of(" \t", i + 1);
    if (i == std::string_view::npos || json[i] != '"') continue;
    std::string value;
    for (++i; i < json.size(); ++i) {
      if (json[i] == '"') return value;
      if (json[i] == '\\' && i + 1 < json.size()) ++i;
      value += json[i];
    }
    return std::nullopt;  // the string does not end on this line
  }
  return std::nullopt;
}

Qmp::Qmp(int fd, EventHandler onEvent) : end_("qmp", fd, false), onEvent_(std::move(onEvent)) {
  // The machine greets first and takes commands once capabilities are negotiated.
  Execute(R"({"execute":"qmp_capabilities"})", [](const std::string&) {});
}

void Qmp::Execute(const std::string& command, Answer answer) {
  waiting_.push_back(std::move(answer));
  end_.Send(command + "\n");
}

void Qmp::Dispatch() {
  while (std::optional<std::string> line = end_.TakeLine()) {
    if (const auto event = JsonText(*line, "event")) {
      onEvent_(*event, *line);
      continue;
    }
    const bool answered = line->find("\"return\"") != std::string::npos;
    const bool failed = line->find("\"error\"") != std::string::npos;
    if ((!answered && !failed) || waiting_.empty()) continue;  // the greeting
    Answer answer = std::move(waiting_.front());
    waiting_.pop_front();
    answer(answered ? std::string() : JsonText(*line, "desc").value_or("the machine refused the command"));
  }
}

}  // namespace realdrivers
