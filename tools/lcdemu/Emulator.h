// The running emulator: it takes bytes from the line (at the line's own pace when asked),
// presses the keys that are typed, given on the command line or written to the control pipe,
// sends what the display answers back on the line, switches the backlight off when its time
// is up, and shows the screen, until a signal ends it.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "tools/lcdemu/ControlPipe.h"
#include "tools/lcdemu/LinePacer.h"
#include "tools/lcdemu/Options.h"
#include "tools/lcdemu/PtyLink.h"
#include "tools/lcdemu/Screen.h"
#include "tools/lcdemu/TypedKeys.h"

class Emulator {
 public:
  // `signals` is readable when the emulator is to end.
  Emulator(const Options& options, LcdScreen& screen, const PtyLink& line, ControlPipe* control, int signals);
  // Runs until a signal ends it; 0, or 1 when waiting failed.
  int Run();

 private:
  using Clock = std::chrono::steady_clock;
  bool TakeFromLine(Clock::time_point now);
  bool Press(const std::string& typed);
  void SendAnswers();
  void StartBacklightTimer(Clock::time_point now);
  void Show();
  std::optional<Clock::time_point> NextWake() const;

  const Options& options_;
  LcdScreen& screen_;
  const PtyLink& line_;
  ControlPipe* control_;
  const int signals_;
  const bool live_;
  std::optional<TypedKeys> typed_;
  LinePacer pacer_;
  bool keysPressed_ = false;
  std::optional<Clock::time_point> backlightOff_;
  // Changes that come quickly after each other are shown together.
  Clock::time_point nextShow_{};
  bool showPending_ = false;
  bool dumpFailed_ = false;  // said once until a write succeeds again
  std::string title_;
};
