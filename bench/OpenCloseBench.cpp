// Opening and closing a monitored port against a bare open, configure and close.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <termios.h>

#include "bench/BenchSupport.h"
#include "serial/CPort.h"

namespace {

void BM_Bare_OpenConfigureClose(benchmark::State& state) {
  PseudoTerminal pty;
  for (auto _ : state) {
    const int fd = open(pty.DevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios settings{};
    tcgetattr(fd, &settings);
    cfmakeraw(&settings);
    cfsetspeed(&settings, B9600);
    tcsetattr(fd, TCSANOW, &settings);
    close(fd);
  }
}
BENCHMARK(BM_Bare_OpenConfigureClose);

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

}  // namespace

static const bool declared = [] {
  DeclareRatio("open and close with the event thread", "BM_OpenClosePort", "BM_Bare_OpenConfigureClose", 2.0);
  return true;
}();
