// lcdemu run by a test: its link, dump and control pipe in a folder of the test's own, the dump
// read back, keys written into the control pipe, and the host's end of its line.
#pragma once

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/PseudoTerminal.h"

// The emulator shows what arrived a moment after it was sent, and a read may end in the middle
// of what one write sent, so tests wait for the state they expect, not for a marker.
template <typename Condition>
bool Eventually(Condition condition) {
  for (int i = 0; i < 500; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

class RunningEmulator {
 public:
  RunningEmulator(const std::filesystem::path& folder, const std::vector<std::string>& options)
      : link_(folder / "lcd"), dump_(folder / "screen.txt"), control_(folder / "keys"), program_(LCDEMU_PATH, Arguments(options)) {}

  // True once the emulator has linked its line.
  bool Up() const {
    return Eventually([&] { return std::filesystem::is_symlink(link_); });
  }
  const std::filesystem::path& Link() const { return link_; }
  const std::filesystem::path& ControlPipe() const { return control_; }
  std::string Dump() const {
    std::ifstream in(dump_);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // Line `row` of the dump, from 1.
  std::string DumpLine(int row) const {
    std::istringstream lines(Dump());
    std::string line;
    for (int i = 0; i < row; ++i) std::getline(lines, line);
    return line;
  }
  bool DumpShows(const std::string& text) const {
    return Eventually([&] { return Dump().find(text) != std::string::npos; });
  }
  // Through the pipe lcdemu made: never a file of the test's own in its place.
  bool PressKeys(const std::string& keys) const {
    const int pipe = open(control_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (pipe < 0) return false;
    const bool written = write(pipe, keys.data(), keys.size()) == static_cast<ssize_t>(keys.size());
    close(pipe);
    return written;
  }
  int Stop() { return program_.Stop(); }

 private:
  std::vector<std::string> Arguments(const std::vector<std::string>& options) const {
    std::vector<std::string> args{"--link", link_.string(), "--dump", dump_.string(), "--control", control_.string(), "--quiet"};
    args.insert(args.end(), options.begin(), options.end());
    return args;
  }

  std::filesystem::path link_, dump_, control_;
  BackgroundProgram program_;
};

// The host's end of the emulated display's line, opened raw as a port is.
class HostEnd {
 public:
  explicit HostEnd(const std::filesystem::path& link) : fd_(open(link.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC)) {
    termios raw{};
    if (fd_ >= 0 && tcgetattr(fd_, &raw) == 0) {
      cfmakeraw(&raw);
      tcsetattr(fd_, TCSANOW, &raw);
    }
  }
  ~HostEnd() {
    if (fd_ >= 0) close(fd_);
  }
  HostEnd(const HostEnd&) = delete;
  HostEnd& operator=(const HostEnd&) = delete;

  bool Open() const { return fd_ >= 0; }
  void Write(const std::string& bytes) const { [[maybe_unused]] ssize_t n = write(fd_, bytes.data(), bytes.size()); }
  std::string Read(std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(5)) const {
    return ReadFrom(fd_, count, limit);
  }

 private:
  int fd_;
};
