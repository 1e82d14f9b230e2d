// lcdemu: an emulated serial LCD. It opens a pseudo-terminal, links its device side at
// --link PATH for the module to open, and shows what the display would show.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "platform/Files.h"
#include "tools/lcdemu/Screen.h"
#include "tools/lcdemu/View.h"

namespace {

struct Options {
  std::string link;
  std::string dump;
  int rows = 2;
  int cols = 16;
  bool quiet = false;
};

[[noreturn]] void Usage(const char* problem) {
  std::fprintf(stderr,
               "lcdemu: %s\nusage: lcdemu --link PATH [--rows 1|2|4] [--cols 16|20|24|32|40] [--dump FILE] [--quiet]\n",
               problem);
  std::exit(2);
}

Options Parse(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) Usage(("missing value after " + arg).c_str());
      return argv[++i];
    };
    if (arg == "--link") options.link = value();
    else if (arg == "--dump") options.dump = value();
    else if (arg == "--rows") options.rows = std::atoi(value().c_str());
    else if (arg == "--cols") options.cols = std::atoi(value().c_str());
    else if (arg == "--quiet") options.quiet = true;
    else Usage(("unknown option " + arg).c_str());
  }
  if (options.link.empty()) Usage("--link PATH is required");
  return options;
}

void Fail(const std::string& what) {
  std::fprintf(stderr, "lcdemu: %s: %s\n", what.c_str(), std::strerror(errno));
  std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = Parse(argc, argv);
  LcdScreen screen = [&] {
    try {
      return LcdScreen(options.rows, options.cols);
    } catch (const std::invalid_argument& e) {
      Usage(e.what());
    }
  }();

  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) Fail("no pseudo-terminal");
  const std::string device = ptsname(master);
  // The emulator holds the device side open too, so the line stays up between the module's
  // opens and closes, and keeps it raw until the module configures it.
  const int held = open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (held < 0) Fail("cannot open " + device);
  termios raw{};
  tcgetattr(held, &raw);
  cfmakeraw(&raw);
  tcsetattr(held, TCSANOW, &raw);

  struct stat existing {};
  if (lstat(options.link.c_str(), &existing) == 0) {
    if (!S_ISLNK(existing.st_mode)) {
      errno = EEXIST;
      Fail(options.link + " exists and is not a link");
    }
    unlink(options.link.c_str());
  }
  if (symlink(device.c_str(), options.link.c_str()) != 0) Fail("cannot link " + options.link);

  sigset_t stops;
  sigemptyset(&stops);
  for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stops, s);
  sigprocmask(SIG_BLOCK, &stops, nullptr);
  const int signals = signalfd(-1, &stops, SFD_CLOEXEC);

  const bool live = !options.quiet && isatty(STDOUT_FILENO);
  const std::string title = "lcdemu " + std::to_string(options.rows) + "x" + std::to_string(options.cols) + " on " +
                            options.link + " (" + device + ")";
  auto show = [&] {
    if (live) {
      const std::string frame = LiveView(screen, title);
      [[maybe_unused]] ssize_t n = write(STDOUT_FILENO, frame.data(), frame.size());
    }
    if (!options.dump.empty()) platform::ReplaceFile(options.dump, DumpText(screen));
  };
  show();
  if (!live && !options.quiet) std::fprintf(stderr, "lcdemu: %s -> %s\n", options.link.c_str(), device.c_str());

  for (;;) {
    pollfd fds[2] = {{master, POLLIN, 0}, {signals, POLLIN, 0}};
    if (poll(fds, 2, -1) < 0 && errno != EINTR) break;
    if (fds[1].revents & POLLIN) break;
    if (fds[0].revents & POLLIN) {
      std::uint8_t buffer[4096];
      const ssize_t n = read(master, buffer, sizeof buffer);
      if (n > 0 && screen.Feed(buffer, static_cast<std::size_t>(n))) show();
    }
  }
  screen.EndOfStream();
  show();
  unlink(options.link.c_str());
  close(held);
  close(master);
  return 0;
}
