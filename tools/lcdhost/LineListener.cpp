#include "tools/lcdhost/LineListener.h"

#include <cstdio>

#include "runtime/MainThread.h"
#include "serial/CPort.h"
#include "tools/lcdhost/QueueServing.h"

void ListenOnLine(const std::string& port, int milliseconds, const volatile bool* stop) {
  TComPort line(nullptr);
  line.SetPort(port);
  line.SetEvents({evRxChar});
  line.SetOnRxChar([](TObject*, std::int32_t count) {
    std::printf("bytes waiting: %d\n", static_cast<int>(count));
    std::fflush(stdout);
  });
  line.OpenPort();
  std::printf("listening on %s for %d ms\n", port.c_str(), milliseconds);
  std::fflush(stdout);
  ServeQueue(MainThreadWakeHandle(), [] { CheckSynchronize(0); }, milliseconds, stop);
  line.ClosePort();
}
