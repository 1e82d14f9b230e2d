#include "tools/lcdhost/CommandOutput.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

std::optional<std::string> FirstLineOfCommand(const std::string& command) {
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return std::nullopt;
  const pid_t child = fork();
  if (child < 0) {
    close(out[0]);
    close(out[1]);
    return std::nullopt;
  }
  if (child == 0) {
    dup2(out[1], 1);
    const int nothing = open("/dev/null", O_RDWR);
    dup2(nothing, 0);
    dup2(nothing, 2);
    setpgid(0, 0);  // its own group, so that a time-out ends whatever it started too
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  setpgid(child, child);  // as the child does for itself: whichever comes first
  close(out[1]);
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::seconds(2);
  std::string text;
  bool ended = false;
  while (text.find('\n') == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd pfd{out[0], POLLIN, 0};
    if (left <= 0 || poll(&pfd, 1, static_cast<int>(left)) <= 0) break;
    char buffer[256];
    const ssize_t n = read(out[0], buffer, sizeof buffer);
    if (n <= 0) {
      ended = true;
      break;
    }
    text.append(buffer, static_cast<std::size_t>(n));
  }
  close(out[0]);
  kill(-child, SIGKILL);  // what is left of it is not needed (nor waited for)
  waitpid(child, nullptr, 0);
  const std::size_t newline = text.find('\n');
  if (newline == std::string::npos && !ended) return std::nullopt;
  return text.substr(0, newline);
}
