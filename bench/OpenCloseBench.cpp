// Opening and closing a monitored port against a bare open, configure and close.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <termios.h>

#include <cstdint>
#include <thread>

#include "bench/BenchSupport.h"
#include "serial/CPort.h"

namespace {

int OpenAndConfigure(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  termios settings{};
  tcgetattr(fd, &settings);
  cfmakeraw(&settings);
  cfsetspeed(&settings, B9600);
  tcsetattr(fd, TCSANOW, &settings);
  return fd;
}

void BM_Bare_OpenConfigureClose(benchmark::State& state) {
  PseudoTerminal pty;
  for (auto _ : state) close(OpenAndConfigure(pty.DevicePath()));
}
BENCHMARK(BM_Bare_OpenConfigureClose);

// The least a monitored port needs beyond that: a thread that waits in poll() for the device
// or for being told to stop, started after the open and stopped before the close.
void BM_Bare_OpenConfigureWatchClose(benchmark::State& state) {
  PseudoTerminal pty;
  for (auto _ : state) {
    const int fd = OpenAndConfigure(pty.DevicePath());
    const int stop = eventfd(0, EFD_CLOEXEC);
    std::thread watcher([fd, stop] {
      pollfd waits[2] = {{fd, POLLIN, 0}, {stop, POLLIN, 0}};
      while (!(waits[1].revents & POLLIN)) poll(waits, 2, -1);
    });
    const std::uint64_t one = 1;
    benchmark::DoNotOptimize(write(stop, &one, sizeof one));
    watcher.join();
    close(stop);
    close(fd);
  }
}
BENCHMARK(BM_Bare_OpenConfigureWatchClose);

void BM_OpenClosePort(benchmark::State& state) {
  PseudoTerminal pty;
  TComPort port(nullptr);
  port.SetPort(pty.DevicePath());
  for (auto _ : state) {
    port.OpenPort();  // with its event thread
    port.ClosePort();
  }
}
BENCHMARK(BM_OpenClosePort);

// The same port watching no events: no event thread. The difference to the one above is what
// starting and stopping that thread costs.
void BM_OpenClosePort_NoEventThread(benchmark::State& state) {
  PseudoTerminal pty;
  TComPort port(nullptr);
  port.SetPort(pty.DevicePath());
  port.SetEvents({});
  for (auto _ : state) {
    port.OpenPort();
    port.ClosePort();
  }
}
BENCHMARK(BM_OpenClosePort_NoEventThread);

}  // namespace

static const bool declared = [] {
  DeclareRatio("open and close with the event thread", "BM_OpenClosePort", "BM_Bare_OpenConfigureClose", 2.0);
  // Not a target: how far the port is from the floor that one thread start and stop sets.
  DeclareRatio("  the same against a bare open with a thread", "BM_OpenClosePort", "BM_Bare_OpenConfigureWatchClose",
               1.5);
  // Not a target: the share of the event thread's start and stop in the port's open and close.
  DeclareRatio("  without the event thread", "BM_OpenClosePort_NoEventThread", "BM_OpenClosePort", 1.0);
  return true;
}();
