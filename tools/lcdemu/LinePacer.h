// The pace of a serial line: bytes are taken from it no faster than it carries them at its
// rate, ten bit times a byte (start bit, eight data bits, stop bit). The line starts carrying
// when bytes are first seen after a quiet spell, so the first of them has arrived one byte time
// later and each further one a byte time after the one before.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>

class LinePacer {
 public:
  using Clock = std::chrono::steady_clock;

  // A rate of 0 takes bytes as fast as they come.
  explicit LinePacer(unsigned baud);

  bool Paced() const { return byteTime_.count() > 0; }
  // True while bytes are on their way: the line is then not watched, only waited for until Due().
  bool Carrying() const { return next_.has_value(); }
  Clock::time_point Due() const { return next_.value_or(Clock::time_point{}); }
  // How many bytes have arrived by `now` (no limit when not paced). A quiet line starts
  // carrying: nothing has arrived yet.
  std::size_t Allowance(Clock::time_point now);
  // `taken` bytes were taken; `quiet` when the line had fewer than were asked for.
  void Took(std::size_t taken, bool quiet);

 private:
  Clock::duration byteTime_;
  std::optional<Clock::time_point> next_;  // when the next byte has arrived
};
