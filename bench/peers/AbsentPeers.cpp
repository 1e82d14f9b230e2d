// The peers whose libraries were not found when the benchmarks were built.
#include "bench/peers/LineWay.h"

#ifndef QUORVEL_BENCH_ASIO
std::unique_ptr<LineWay> AsioWay() { return nullptr; }
#endif
#ifndef QUORVEL_BENCH_QT
std::unique_ptr<LineWay> QtWay() { return nullptr; }
#endif
