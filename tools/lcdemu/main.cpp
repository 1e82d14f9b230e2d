// lcdemu: an emulated serial LCD. It opens a pseudo-terminal, links its device side at
// --link PATH for a program to open as the display's port, and behaves as the display would:
// it shows what arrives, answers queries and sends the keys of its keypad.
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>
#include <exception>
#include <vector>

#include "tools/lcdemu/ControlPipe.h"
#include "tools/lcdemu/Emulator.h"
#include "tools/lcdemu/Options.h"
#include "tools/lcdemu/PtyLink.h"
#include "tools/lcdemu/Screen.h"

namespace {

int Usage(const std::string& problem) {
  std::fprintf(stderr, "lcdemu: %s\n%s", problem.c_str(), UsageText().c_str());
  return 2;
}

// The signals that end the emulator, as a descriptor to wait on; they are blocked otherwise,
// so that the loop ends as usual and removes the link.
int StopSignals() {
  sigset_t stops;
  sigemptyset(&stops);
  for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stops, s);
  sigprocmask(SIG_BLOCK, &stops, nullptr);
  signal(SIGPIPE, SIG_IGN);  // a closed standard output is not a reason to end
  return signalfd(-1, &stops, SFD_CLOEXEC);
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::optional<LcdScreen> screen;
  try {
    options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (options.help) return std::fputs(UsageText().c_str(), stdout), 0;
    screen.emplace(options.rows, options.cols, *options.model);
  } catch (const std::invalid_argument& e) {
    return Usage(e.what());
  }
  screen->SetAnswers(AnswersFor(options));

  const int signals = StopSignals();
  if (signals < 0) return std::perror("lcdemu: signalfd"), 1;
  try {
    // The link comes last: scripts wait for it, and then the pipe must already take keys.
    std::optional<ControlPipe> control;
    if (!options.control.empty()) control.emplace(options.control);
    PtyLink line(options.link);
    Emulator emulator(options, *screen, line, control ? &*control : nullptr, signals);
    const int status = emulator.Run();
    close(signals);
    return status;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lcdemu: %s\n", e.what());
    close(signals);
    return 1;
  }
}
