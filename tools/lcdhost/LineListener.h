// Listening on a serial line through the serial component, as a host that takes a display's
// keys would: the port's event thread sees bytes arrive (EV_RXCHAR), they wait in the port's
// input queue, and OnRxChar reports how many wait, on this thread, which serves the runtime's
// main-thread queue meanwhile. The component announces received bytes by their count only, so
// the count grows with each arrival.
#pragma once

#include <string>

// Opens `port`, prints "listening on PORT for MS ms", then "bytes waiting: N" at each report,
// until `milliseconds` have passed or `stop` says so, and closes the port. A port that cannot
// be opened raises EComPort.
void ListenOnLine(const std::string& port, int milliseconds, const volatile bool* stop);
