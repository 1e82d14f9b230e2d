#include "tools/lcdhost/DisplayConfig.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "runtime/IniFile.h"

namespace {
const std::string Section = "display";
constexpr int MostRows = 4;  // the tallest display there is
}  // namespace

DisplayConfig ReadDisplayConfig(const std::string& path) {
  // The settings file reads a missing file as empty; a display that shows nothing because of a
  // typing mistake in a path is worse than a clear refusal.
  if (!std::ifstream(path)) throw std::runtime_error("cannot read the configuration " + path);
  TIniFile ini(path);
  DisplayConfig config;
  const std::string refresh = ini.ReadString(Section, "refresh", "5");
  char* end = nullptr;
  config.refreshSeconds = std::strtod(refresh.c_str(), &end);
  if (refresh.empty() || *end || !(config.refreshSeconds >= 0.01 && config.refreshSeconds <= 86'400))
    throw std::runtime_error(path + ": refresh must be a number of seconds from 0.01 to 86400, not \"" + refresh + "\"");
  for (int row = 1; row <= MostRows; ++row) config.rows.push_back(ini.ReadString(Section, "row" + std::to_string(row), ""));
  while (!config.rows.empty() && config.rows.back().empty()) config.rows.pop_back();
  if (config.rows.empty()) throw std::runtime_error(path + ": no rows to show (row1 = ... in section [display])");
  return config;
}
