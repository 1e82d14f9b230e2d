#include "tools/lcdemu/LinePacer.h"

#include <limits>

namespace {
constexpr long long BitsPerByte = 10;
}

LinePacer::LinePacer(unsigned baud)
    : byteTime_(baud ? std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(BitsPerByte * 1'000'000'000LL / baud))
                     : Clock::duration::zero()) {}

std::size_t LinePacer::Allowance(Clock::time_point now) {
  if (!Paced()) return std::numeric_limits<std::size_t>::max();
  if (!next_) {
    next_ = now + byteTime_;
    return 0;
  }
  if (now < *next_) return 0;
  return 1 + static_cast<std::size_t>((now - *next_) / byteTime_);
}

void LinePacer::Took(std::size_t taken, bool quiet) {
  if (!Paced()) return;
  if (quiet) {
    next_.reset();
    return;
  }
  if (next_) *next_ += byteTime_ * static_cast<long long>(taken);
}
