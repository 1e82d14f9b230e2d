// Running the project's programs from tests: to completion with their output collected, or in
// the background until the test is done with them.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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
class BackgroundProgram {
 public:
  BackgroundProgram(const std::string& program, const std::vector<std::string>& args) {
    pid_ = fork();
    if (pid_ == 0) {
      execv(program.c_str(), ArgumentVector(program, args).data());
      _exit(127);
    }
  }
  ~BackgroundProgram() { Stop(); }
  BackgroundProgram(const BackgroundProgram&) = delete;
  BackgroundProgram& operator=(const BackgroundProgram&) = delete;

  int Stop() {
    if (pid_ <= 0) return status_;
    kill(pid_, SIGTERM);
    status_ = ExitStatus(pid_);
    pid_ = -1;
    return status_;
  }

 private:
  pid_t pid_ = -1;
  int status_ = -1;
};
