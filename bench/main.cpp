// Runs the benchmarks and prints each figure as a ratio to its anchor, measured in the same
// run, then the module beside the serial libraries a user might pick instead, then the idle
// cost of an open, monitored port.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/peers/LineWay.h"
#include "tests/support/ProcessCounts.h"
#include "serial/CPort.h"

namespace {

struct Ratio {
  std::string label, measured, anchor;
  double target;
};
std::vector<Ratio>& Ratios() {
  static std::vector<Ratio> ratios;
  return ratios;
}

// Collects each benchmark's time per iteration as the console shows it.
class CollectingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const double ns = run.GetAdjustedRealTime() * (run.time_unit == benchmark::kMicrosecond ? 1e3 : 1);
      // With repetitions, each figure is its median.
      if (run.run_type == Run::RT_Iteration && !nanoseconds.count(run.run_name.str()))
        nanoseconds[run.run_name.str()] = ns;
      else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
        nanoseconds[run.run_name.str()] = ns;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> nanoseconds;
};

struct ThreadCost {
  long switches = 0;
  double cpuSeconds = 0;
};

// Wake-ups and CPU time of the port's threads, named com-*.
ThreadCost PortThreadCost() {
  namespace fs = std::filesystem;
  ThreadCost cost;
  cost.switches = ContextSwitchesOfThreads("com-");
  const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
  for (const auto& task : fs::directory_iterator("/proc/self/task")) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    std::getline(comm, name);
    if (name.rfind("com-", 0) != 0) continue;
    std::ifstream stat(task.path() / "stat");
    std::string all((std::istreambuf_iterator<char>(stat)), {});
    std::istringstream fields(all.substr(all.rfind(')') + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 3; fields >> field; ++i) {
      if (i == 14) utime = std::stol(field);
      if (i == 15) {
        stime = std::stol(field);
        break;
      }
    }
    cost.cpuSeconds += static_cast<double>(utime + stime) / ticks;
  }
  return cost;
}

// Takes `--name=N` out of the arguments, so that the benchmark library does not see it.
int IntOption(int& argc, char** argv, const std::string& name, int fallback) {
  const std::string prefix = "--" + name + "=";
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) == 0) {
      const int value = std::atoi(argv[i] + prefix.size());
      std::memmove(argv + i, argv + i + 1, static_cast<std::size_t>(argc - i) * sizeof(char*));
      --argc;
      return value;
    }
  return fallback;
}

}  // namespace

void DeclareRatio(const std::string& label, const std::string& measured, const std::string& anchor, double target) {
  Ratios().push_back({label, measured, anchor, target});
}

int main(int argc, char** argv) {
  const int idleSeconds = IntOption(argc, argv, "idle-seconds", 10);
  const int peerRounds = IntOption(argc, argv, "peer-rounds", 30);
  benchmark::Initialize(&argc, argv);
  CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\n%-40s %12s %12s %8s %8s\n", "figure", "measured", "anchor", "ratio", "target");
  int missed = 0;
  for (const Ratio& r : Ratios()) {
    if (!reporter.nanoseconds.count(r.measured) || !reporter.nanoseconds.count(r.anchor)) continue;
    const double measured = reporter.nanoseconds[r.measured], anchor = reporter.nanoseconds[r.anchor];
    const double ratio = measured / anchor;
    missed += ratio > r.target;
    std::printf("%-40s %10.0fns %10.0fns %8.2f %7.1fx%s\n", r.label.c_str(), measured, anchor, ratio, r.target,
                ratio > r.target ? "  missed" : "");
  }

  RunPeerComparison(peerRounds);

  // An open port monitoring all ten events on a quiet line.
  PseudoTerminal pty;
  TComPort port(nullptr);
  port.SetPort(pty.DevicePath());
  port.OpenPort();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const ThreadCost before = PortThreadCost();
  std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
  const ThreadCost after = PortThreadCost();
  port.ClosePort();
  const long wakeups = after.switches - before.switches;
  std::printf("%-40s %9ld wake-ups, %.3f s CPU over %d s; target 0 wake-ups%s\n", "idle open port, all events",
              wakeups, after.cpuSeconds - before.cpuSeconds, idleSeconds, wakeups ? "  missed" : "");
  return 0;
}
