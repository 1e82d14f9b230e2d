#include "tools/lcdhost/Placeholders.h"

#include <fstream>

#include "tools/lcdhost/CommandOutput.h"
#include "tools/lcdhost/MachineFigures.h"

namespace {

std::string FirstLineOf(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  if (!in || !std::getline(in, line)) return "?";
  return line;
}

std::string Formatted(std::time_t now, const std::string& format) {
  const std::tm local = LocalTime(now);
  char text[128];
  return std::strftime(text, sizeof text, format.c_str(), &local) > 0 ? text : "";
}

std::string Fill(const std::string& name, const std::string& argument, bool hasArgument, std::time_t now) {
  if (name == "time") return Formatted(now, hasArgument ? argument : "%H:%M:%S");
  if (name == "date") return Formatted(now, hasArgument ? argument : "%d.%m.%Y");
  if (name == "load" && !hasArgument) return LoadAverage();
  if (name == "memory" && !hasArgument) return MemoryAvailable();
  if (name == "file" && hasArgument) return FirstLineOf(argument);
  if (name == "command" && hasArgument) return FirstLineOfCommand(argument).value_or("?");
  return "{" + name + (hasArgument ? ":" + argument : "") + "}";  // not a placeholder: shown as written
}

}  // namespace

std::string FillPlaceholders(const std::string& line, std::time_t now) {
  std::string out;
  for (std::size_t at = 0; at < line.size();) {
    if (line.compare(at, 2, "{{") == 0) {
      out += '{';
      at += 2;
      continue;
    }
    const std::size_t close = line[at] == '{' ? line.find('}', at) : std::string::npos;
    if (close == std::string::npos) {
      out += line[at++];
      continue;
    }
    const std::string inside = line.substr(at + 1, close - at - 1);
    const std::size_t colon = inside.find(':');
    out += Fill(inside.substr(0, colon), colon == std::string::npos ? "" : inside.substr(colon + 1),
                colon != std::string::npos, now);
    at = close + 1;
  }
  return out;
}
