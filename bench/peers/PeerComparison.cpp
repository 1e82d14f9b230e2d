// Every way in turn on one pseudo-terminal, round after round in a rotating order, so that
// what the machine does meanwhile falls on all of them alike; the medians are compared.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>

#include "bench/BenchSupport.h"
#include "bench/peers/LineWay.h"
#include "serial/CPort.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Samples {
  std::vector<double> frame, latency, openClose;  // microseconds
};

double Micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

template <class F>
double Timed(F&& f) {
  const auto start = Clock::now();
  f();
  return Micros(Clock::now() - start);
}

// Opening and closing as each way's program does it; the module's is its port component, with
// the event thread that watches all ten events, as the display's port has.
double OpenCloseOnce(LineWay& way, const std::string& path, bool module) {
  if (!module) return Timed([&] {
      way.Open(path);
      way.Close();
    });
  TComPort port(nullptr);
  port.SetPort(path);
  return Timed([&] {
    port.OpenPort();
    port.ClosePort();
  });
}

void Round(LineWay& way, bool module, DrainedLine& line, Samples& samples) {
  for (int i = 0; i < 5; ++i) samples.openClose.push_back(OpenCloseOnce(way, line.DevicePath(), module));
  way.Open(line.DevicePath());
  way.Frame();  // warm
  for (int i = 0; i < 10; ++i) samples.frame.push_back(Timed([&] { way.Frame(); }));
  for (int i = 0; i < 5; ++i)
    samples.latency.push_back(Timed([&] { way.AwaitByte([&] { line.SendToDevice("a"); }); }));
  way.Close();
}

void PrintRow(const std::string& label, double value, double bare, std::optional<double> bestPeer) {
  std::printf("  %-40s %9.1f us %7.2f", label.c_str(), value, value / bare);
  if (bestPeer) std::printf(" %8.2f", value / *bestPeer);
  std::printf("\n");
}

}  // namespace

void RunPeerComparison(int rounds) {
  if (rounds <= 0) return;
  struct Entry {
    std::unique_ptr<LineWay> way;
    bool module, peer;
    Samples samples;
    std::string leftOut;
  };
  std::vector<Entry> entries;
  entries.push_back({BareWay(false), false, false, {}, {}});
  entries.push_back({BareWay(true), false, false, {}, {}});
  entries.push_back({ModuleWay(true), true, false, {}, {}});
  entries.push_back({ModuleWay(false), true, false, {}, {}});
  std::vector<std::string> absent;
  for (auto [make, name] : {std::pair{&AsioWay, "Boost.Asio serial_port"}, std::pair{&QtWay, "Qt Serial Port"}}) {
    if (auto way = make())
      entries.push_back({std::move(way), false, true, {}, {}});
    else
      absent.push_back(name);
  }
  DrainedLine line;
  for (int round = 0; round < rounds; ++round)
    for (std::size_t k = 0; k < entries.size(); ++k) {
      Entry& entry = entries[(k + static_cast<std::size_t>(round)) % entries.size()];
      if (!entry.leftOut.empty()) continue;
      try {
        Round(*entry.way, entry.module, line, entry.samples);
      } catch (const std::exception& e) {
        entry.leftOut = e.what();  // a peer that cannot work on a pseudo-terminal as shipped
      }
    }

  std::printf("\nEvery way on the same pseudo-terminal, %d rounds in a rotating order; medians, as ratios to "
              "the bare floor and to the best peer:\n",
              rounds);
  for (const std::string& name : absent) std::printf("  (%s: not found when the benchmarks were built)\n", name.c_str());
  for (const Entry& entry : entries)
    if (!entry.leftOut.empty()) std::printf("  (%s: left out, %s)\n", entry.way->Name().c_str(), entry.leftOut.c_str());
  std::erase_if(entries, [](const Entry& entry) { return !entry.leftOut.empty(); });
  struct Figure {
    const char* title;
    std::vector<double> Samples::*field;
  };
  for (const Figure figure : {Figure{"4x20 frame, 85 blocking writes", &Samples::frame},
                              Figure{"a byte in, its handler on the main thread", &Samples::latency},
                              Figure{"open and close", &Samples::openClose}}) {
    const double bare = Median(entries.front().samples.*figure.field);
    std::optional<double> bestPeer;
    for (const Entry& entry : entries)
      if (entry.peer) bestPeer = std::min(bestPeer.value_or(1e300), Median(entry.samples.*figure.field));
    std::printf("%-42s %12s %8s %8s\n", figure.title, "", "x bare", bestPeer ? "x peer" : "");
    for (const Entry& entry : entries)
      PrintRow(entry.way->Name(), Median(entry.samples.*figure.field), bare, bestPeer);
  }
}
