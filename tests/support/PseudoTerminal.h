// A real pseudo-terminal for tests: the test holds the master side as the line, and the code
// under test opens the device side by its path.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

class PseudoTerminal {
 public:
  PseudoTerminal();
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  const std::string& DevicePath() const { return devicePath_; }
  int MasterFd() const { return master_; }

  // Reads exactly `count` bytes from the line, or what came within the time limit.
  std::string Read(std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(2));
  // Everything that arrives until the line has been quiet for `quiet`.
  std::string ReadAvailable(std::chrono::milliseconds quiet = std::chrono::milliseconds(50));
  void Write(const std::string& bytes);
  // The device side's termios control flags (c_cflag). A pseudo-terminal forces eight bits
  // without parity but keeps PARODD and CSTOPB as they were set.
  unsigned DeviceControlFlags() const;
  // Hangs the line up, as an unplugged adapter does.
  void CloseMaster();

 private:
  int master_ = -1;
  std::string devicePath_;
};

// Reads exactly `count` bytes from `fd`, or what came within the time limit.
std::string ReadFrom(int fd, std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(2));
// Bytes as "FE C0 0C", for readable comparisons.
std::string Hex(const std::string& bytes);
