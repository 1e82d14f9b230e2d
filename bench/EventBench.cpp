// From a byte arriving on the line to OnRxChar on the main thread (or on the event thread
// with smNone), against a bare thread that waits in poll() and hands the byte over a pipe.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <termios.h>
#include <thread>

#include "bench/BenchSupport.h"
#include "platform/Api.h"
#include "runtime/MainThread.h"
#include "serial/CPort.h"

namespace {

void BM_Bare_PollThreadToMainThread(benchmark::State& state) {
  PseudoTerminal pty;
  const int device = OpenRawDevice(pty.DevicePath(), O_NONBLOCK);
  int handOver[2];
  if (pipe(handOver) != 0) return state.SkipWithError("no pipe");
  std::atomic<bool> stop{false};
  std::thread waiter([&] {
    char buffer[64];
    while (!stop) {
      pollfd pfd{device, POLLIN, 0};
      if (poll(&pfd, 1, 100) <= 0) continue;
      const ssize_t n = read(device, buffer, sizeof buffer);
      if (n > 0) [[maybe_unused]] ssize_t w = write(handOver[1], buffer, 1);
    }
  });
  char got;
  for (auto _ : state) {
    pty.Write("a");
    pollfd pfd{handOver[0], POLLIN, 0};
    poll(&pfd, 1, -1);
    benchmark::DoNotOptimize(read(handOver[0], &got, 1));
  }
  stop = true;
  waiter.join();
  close(handOver[0]);
  close(handOver[1]);
  close(device);
}
BENCHMARK(BM_Bare_PollThreadToMainThread);

void RxCharLatency(benchmark::State& state, TSyncMethod method) {
  PseudoTerminal pty;
  TComPort port(nullptr);
  port.SetPort(pty.DevicePath());
  port.SetSyncMethod(method);
  port.Buffer()->SetInputSize(32 << 20);  // nobody reads the queue: room for every byte sent
  std::atomic<int> fired{0};
  port.SetOnRxChar([&](TObject*, std::int32_t) { fired.fetch_add(1, std::memory_order_release); });
  port.OpenPort();
  const int wake = static_cast<int>(TMainThreadQueue::Instance().WakeHandle());
  for (auto _ : state) {
    const int before = fired.load(std::memory_order_acquire);
    pty.Write("a");
    while (fired.load(std::memory_order_acquire) == before) {
      if (method == smNone) {
        std::this_thread::yield();
        continue;
      }
      pollfd pfd{wake, POLLIN, 0};
      poll(&pfd, 1, -1);
      CheckSynchronize(0);
    }
  }
  port.ClosePort();
}
void BM_RxChar_ThreadSync(benchmark::State& state) { RxCharLatency(state, smThreadSync); }
void BM_RxChar_WindowSync(benchmark::State& state) { RxCharLatency(state, smWindowSync); }
void BM_RxChar_None(benchmark::State& state) { RxCharLatency(state, smNone); }
BENCHMARK(BM_RxChar_ThreadSync);
BENCHMARK(BM_RxChar_WindowSync);
BENCHMARK(BM_RxChar_None);

}  // namespace

static const bool declared = [] {
  DeclareRatio("OnRxChar latency, smThreadSync", "BM_RxChar_ThreadSync", "BM_Bare_PollThreadToMainThread", 2.0);
  DeclareRatio("OnRxChar latency, smWindowSync", "BM_RxChar_WindowSync", "BM_Bare_PollThreadToMainThread", 2.0);
  DeclareRatio("OnRxChar latency, smNone", "BM_RxChar_None", "BM_Bare_PollThreadToMainThread", 2.0);
  return true;
}();
