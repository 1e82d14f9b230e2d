// One-byte writes and a 20-character WriteAt against the bare system calls beneath them.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include "bench/BenchSupport.h"
#include "display/LCDControl_COM.h"

namespace {

// A pty's write is cheapest back to back: the kernel hands bytes to the reader in batches while
// its flip-buffer work is still queued. Any work between writes (here some 70 ns, measured by
// BM_Gap) loses part of that, and so does the work WriteText does around its write().
void Gap() {
  for (int i = 0; i < 240; ++i) benchmark::DoNotOptimize(i);
}

void BM_Gap(benchmark::State& state) {
  for (auto _ : state) Gap();
}
BENCHMARK(BM_Gap);

// write() returns once the tty has the byte: that is all a finished WriteText waits for.
void NoGap() {}

template <void (*Between)()>
void BareOneByteWrites(benchmark::State& state) {
  DrainedLine line;
  const int fd = OpenRawDevice(line.DevicePath());
  for (auto _ : state) {
    benchmark::DoNotOptimize(write(fd, "x", 1));
    Between();
  }
  close(fd);
}
void BM_Bare_WriteOneByte(benchmark::State& state) { BareOneByteWrites<NoGap>(state); }
void BM_Bare_WriteOneByteWithGap(benchmark::State& state) { BareOneByteWrites<Gap>(state); }
BENCHMARK(BM_Bare_WriteOneByte);
BENCHMARK(BM_Bare_WriteOneByteWithGap);

void BM_WriteText_OneByte(benchmark::State& state) {
  DrainedLine line;
  TComPort port(nullptr);
  port.SetPort(line.DevicePath());
  port.OpenPort();  // monitored with all ten events, as the display's port is
  const std::string byte = "x";
  for (auto _ : state) benchmark::DoNotOptimize(port.WriteText(byte));
  port.ClosePort();
}
BENCHMARK(BM_WriteText_OneByte);

void BM_Bare_21Writes(benchmark::State& state) {
  DrainedLine line;
  const int fd = OpenRawDevice(line.DevicePath());
  const char position[4] = {'\xFE', 'G', 1, 1};
  for (auto _ : state) {
    benchmark::DoNotOptimize(write(fd, position, 4));
    for (int i = 0; i < 20; ++i) benchmark::DoNotOptimize(write(fd, "x", 1));
  }
  close(fd);
}
BENCHMARK(BM_Bare_21Writes);

void BM_WriteAt_20Characters(benchmark::State& state) {
  DrainedLine line;
  TLCDControl_COM lcd(nullptr);
  lcd.SetPort(line.DevicePath());
  lcd.SetActive(true);
  const std::string text = "Hello, world! 123456";
  for (auto _ : state) lcd.WriteAt(1, 1, text);
  lcd.SetActive(false);
}
BENCHMARK(BM_WriteAt_20Characters);

}  // namespace

static const bool declared = [] {
  DeclareRatio("WriteText of one byte", "BM_WriteText_OneByte", "BM_Bare_WriteOneByte", 1.3);
  // Not a target: against bare writes with a short pause between them (see Gap).
  DeclareRatio("  the same against bare writes a gap apart", "BM_WriteText_OneByte", "BM_Bare_WriteOneByteWithGap",
               1.3);
  DeclareRatio("WriteAt of 20 characters (21 writes)", "BM_WriteAt_20Characters", "BM_Bare_21Writes", 1.3);
  return true;
}();
