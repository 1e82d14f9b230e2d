// Running the project's programs from tests: to completion with their output collected, or in
// the background until the test is done with them.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

struct ProgramOutcome {
  int status;  // the exit status, or -1 when it did not exit normally
  std::string out, err;
};

inline std::vector<char*> ArgumentVector(const std::string& program, const std::vector<std::string>& args) {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  return argv;
}

inline std::string DrainDescriptor(int fd) {
  std::string text;
  char buffer[4096];
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
  close(fd);
  return text;
}

inline int ExitStatus(pid_t child) {
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline ProgramOutcome RunProgram(const std::string& program, const std::vector<std::string>& args) {
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) return {-1, {}, {}};
  const pid_t child = fork();
  if (child == 0) {
    dup2(out[1], 1);
    dup2(err[1], 2);
    close(out[0]);
    close(err[0]);
    execv(program.c_str(), ArgumentVector(program, args).data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  ProgramOutcome outcome{};
  outcome.out = DrainDescriptor(out[0]);
  outcome.err = DrainDescriptor(err[0]);
  outcome.status = ExitStatus(child);
  return outcome;
}

// A program running in the background; asked to stop (SIGTERM) and waited for at the end.
// Its standard output, or its standard error, may be captured, to be read while it runs.
class BackgroundProgram {
 public:
  enum class Output { Inherited, Captured, ErrorsCaptured };

  BackgroundProgram(const std::string& program, const std::vector<std::string>& args,
                    Output output = Output::Inherited) {
    int pipeEnds[2] = {-1, -1};
    if (output != Output::Inherited && pipe2(pipeEnds, O_CLOEXEC) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      if (pipeEnds[1] >= 0) dup2(pipeEnds[1], output == Output::ErrorsCaptured ? 2 : 1);
      execv(program.c_str(), ArgumentVector(program, args).data());
      _exit(127);
    }
    if (pipeEnds[1] >= 0) close(pipeEnds[1]);
    out_ = pipeEnds[0];
  }
  ~BackgroundProgram() {
    Stop();
    if (out_ >= 0) close(out_);
  }
  BackgroundProgram(const BackgroundProgram&) = delete;
  BackgroundProgram& operator=(const BackgroundProgram&) = delete;

  // What the program has printed, read until `text` is in it, the program ends its output, or
  // the time is up.
  std::string OutputUntil(const std::string& text, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (out_ >= 0 && printed_.find(text) == std::string::npos) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
      pollfd pfd{out_, POLLIN, 0};
      if (left <= 0 || poll(&pfd, 1, static_cast<int>(left)) <= 0) break;
      char buffer[4096];
      const ssize_t n = read(out_, buffer, sizeof buffer);
      if (n <= 0) break;
      printed_.append(buffer, static_cast<std::size_t>(n));
    }
    return printed_;
  }

  pid_t Pid() const { return pid_; }
  void Signal(int signal) {
    if (pid_ > 0) kill(pid_, signal);
  }
  // Waits for the program to end by itself; its exit status, or -1.
  int Wait() {
    if (pid_ <= 0) return status_;
    status_ = ExitStatus(pid_);
    pid_ = -1;
    return status_;
  }
  int Stop() {
    Signal(SIGTERM);
    return Wait();
  }

 private:
  pid_t pid_ = -1;
  int status_ = -1;
  int out_ = -1;
  std::string printed_;
};
