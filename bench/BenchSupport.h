// What the benchmarks share: a pseudo-terminal whose line is drained as fast as bytes arrive,
// so writes never wait for a reader, and the table of ratios they are judged by.
#pragma once

#include <atomic>
#include <string>
#include <thread>

#include "tests/support/PseudoTerminal.h"

// A pseudo-terminal with a thread that reads everything the device side sends.
class DrainedLine {
 public:
  DrainedLine();
  ~DrainedLine();
  const std::string& DevicePath() const { return pty_.DevicePath(); }
  int MasterFd() const { return pty_.MasterFd(); }
  std::uint64_t BytesDrained() const { return drained_.load(); }
  // The far end sends bytes to the device side.
  void SendToDevice(const std::string& bytes);

 private:
  PseudoTerminal pty_;
  int stopFd_;
  std::atomic<std::uint64_t> drained_{0};
  std::thread reader_;
};

// The device side of a pseudo-terminal opened raw, as the bare anchors use it.
int OpenRawDevice(const std::string& path, int extraFlags = 0);

// A measured figure and the anchor it is compared with, and the ratio it must stay under.
void DeclareRatio(const std::string& label, const std::string& measured, const std::string& anchor, double target);
