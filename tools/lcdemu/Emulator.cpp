#include "tools/lcdemu/Emulator.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/Files.h"
#include "tools/lcdemu/View.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto ShowInterval = std::chrono::milliseconds(20);
constexpr const char* TypingHint = "type a..y to press the keys A..Y; Ctrl-C ends\n";

void WriteAll(int fd, const std::string& text) {
  for (std::size_t at = 0; at < text.size();) {
    const ssize_t n = write(fd, text.data() + at, text.size() - at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    at += static_cast<std::size_t>(n);
  }
}

// Milliseconds until `when`, rounded up so that a wait never ends early.
int MillisecondsUntil(Clock::time_point when, Clock::time_point now) {
  if (when <= now) return 0;
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(when - now).count();
  return static_cast<int>(std::min<long long>(wait, 24LL * 3600 * 1000));
}

}  // namespace

Emulator::Emulator(const Options& options, LcdScreen& screen, const PtyLink& line, ControlPipe* control, int signals)
    : options_(options),
      screen_(screen),
      line_(line),
      control_(control),
      signals_(signals),
      live_(!options.quiet && isatty(STDOUT_FILENO)),
      pacer_(options.baud) {
  if (live_ && screen.DisplayModel().keypad) typed_.emplace();
  title_ = "lcdemu " + std::to_string(screen.Rows()) + "x" + std::to_string(screen.Cols()) + " on " + options.link +
           " (" + line.Device() + ")";
}

int Emulator::Run() {
  Show();
  if (!live_ && !options_.quiet) std::fprintf(stderr, "lcdemu: %s -> %s\n", options_.link.c_str(), line_.Device().c_str());
  int status = 0;
  for (;;) {
    // While bytes are on their way at the line's pace the line is not watched, only waited for.
    pollfd fds[4] = {{signals_, POLLIN, 0},
                     {line_.Fd(), static_cast<short>(pacer_.Carrying() ? 0 : POLLIN), 0},
                     {control_ ? control_->Fd() : -1, POLLIN, 0},
                     {typed_ ? typed_->Fd() : -1, POLLIN, 0}};
    const std::optional<Clock::time_point> wake = NextWake();
    if (poll(fds, 4, wake ? MillisecondsUntil(*wake, Clock::now()) : -1) < 0 && errno != EINTR) {
      std::fprintf(stderr, "lcdemu: waiting failed: %s\n", std::strerror(errno));
      status = 1;
      break;
    }
    const Clock::time_point now = Clock::now();
    bool changed = false;
    if (backlightOff_ && now >= *backlightOff_) {
      screen_.BacklightTimeUp();
      backlightOff_.reset();
      changed = true;
    }
    if (fds[2].revents & POLLIN) changed |= Press(control_->Take());
    if (fds[3].revents & (POLLIN | POLLHUP)) {
      char typed[64];
      const ssize_t n = read(typed_->Fd(), typed, sizeof typed);
      if (n > 0)
        changed |= Press(std::string(typed, static_cast<std::size_t>(n)));
      else if (n == 0 || errno != EINTR)
        typed_->Stop();
    }
    if ((fds[1].revents & POLLIN) || (pacer_.Carrying() && now >= pacer_.Due())) changed |= TakeFromLine(now);
    SendAnswers();
    showPending_ |= changed;
    // What had arrived when the signal came is still taken and shown.
    if (fds[0].revents & POLLIN) break;
    if (showPending_ && now >= nextShow_) Show();
  }
  screen_.EndOfStream();
  Show();
  return status;
}

bool Emulator::TakeFromLine(Clock::time_point now) {
  std::uint8_t buffer[4096];
  const std::size_t wanted = std::min(pacer_.Allowance(now), sizeof buffer);
  if (wanted == 0) return false;
  const ssize_t n = read(line_.Fd(), buffer, wanted);
  const std::size_t got = n > 0 ? static_cast<std::size_t>(n) : 0;
  pacer_.Took(got, got < wanted);
  if (got == 0) return false;
  bool changed = screen_.Feed(buffer, got);
  StartBacklightTimer(now);
  // Keys from the command line are pressed once a program has spoken to the display, so it is
  // there to receive them, and after what it said first (switching auto-transmit off, say).
  if (!keysPressed_) {
    keysPressed_ = true;
    changed |= Press(options_.keys);
  }
  return changed;
}

bool Emulator::Press(const std::string& typed) {
  bool changed = false;
  for (char c : typed) {
    if (c == ' ' || c == '\n' || c == '\r' || c == '\t') continue;
    if (const std::optional<char> key = KeyForTyped(c); key && screen_.DisplayModel().keypad) {
      screen_.PressKey(*key);  // a key the keypad's buffer has no room for is counted there
      changed = true;
    } else if (key && !options_.quiet) {
      std::fprintf(stderr, "lcdemu: the %s model has no keypad for key %c\n", screen_.DisplayModel().name, *key);
    } else if (!options_.quiet) {
      std::fprintf(stderr, "lcdemu: 0x%02X is no key (a..y presses A..Y)\n", static_cast<unsigned char>(c));
    }
  }
  return changed;
}

void Emulator::SendAnswers() {
  const std::string answers = screen_.TakeLineOutput();
  if (answers.empty()) return;
  // A display does not wait for its listener: what the line cannot take now is lost, and counted.
  const ssize_t n = write(line_.Fd(), answers.data(), answers.size());
  const std::size_t sent = n > 0 ? static_cast<std::size_t>(n) : 0;
  if (sent < answers.size()) screen_.LineRefused(answers.size() - sent);
}

void Emulator::StartBacklightTimer(Clock::time_point now) {
  const std::optional<int> minutes = screen_.TakeBacklightTimer();
  if (!minutes) return;
  if (*minutes == 0)
    backlightOff_.reset();
  else
    backlightOff_ = now + std::chrono::minutes(*minutes);
}

std::optional<Clock::time_point> Emulator::NextWake() const {
  std::optional<Clock::time_point> wake;
  auto earliest = [&](Clock::time_point t) { wake = wake ? std::min(*wake, t) : t; };
  if (pacer_.Carrying()) earliest(pacer_.Due());
  if (backlightOff_) earliest(*backlightOff_);
  if (showPending_) earliest(nextShow_);
  return wake;
}

void Emulator::Show() {
  showPending_ = false;
  nextShow_ = Clock::now() + ShowInterval;
  if (live_) WriteAll(STDOUT_FILENO, LiveView(screen_, title_, options_.rom, typed_ && typed_->Fd() >= 0 ? TypingHint : ""));
  if (options_.dump.empty()) return;
  const platform::DWORD error = platform::ReplaceFile(options_.dump, DumpText(screen_, options_.rom));
  if (error != platform::ERROR_SUCCESS && !dumpFailed_)
    std::fprintf(stderr, "lcdemu: cannot write %s: %s\n", options_.dump.c_str(), platform::ErrorText(error).c_str());
  dumpFailed_ = error != platform::ERROR_SUCCESS;
}
