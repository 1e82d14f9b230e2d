#include "tools/lcdhost/HostSystem.h"

#include <signal.h>

#include <filesystem>

namespace {
volatile bool* interruptFlag = nullptr;
}  // namespace

std::vector<std::string> Arguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

std::string DefaultModulePath() {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path self = fs::canonical("/proc/self/exe", error);
  for (const fs::path& candidate : {self.parent_path() / ".." / QUORVEL_MODULE_DIR / "Quorvel.so",
                                    self.parent_path() / "../../Quorvel.so", self.parent_path() / "Quorvel.so"})
    if (fs::exists(candidate, error)) return fs::weakly_canonical(candidate).string();
  return "Quorvel.so";
}

void OnInterrupt(volatile bool* flag) {
  interruptFlag = flag;
  // A signal also ends the host's poll() early (no SA_RESTART).
  struct sigaction action {};
  action.sa_handler = [](int) { *interruptFlag = true; };
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}
