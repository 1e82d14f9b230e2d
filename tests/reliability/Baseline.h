// What the process holds before a reliability test starts (open descriptors, threads), to
// check that a fault and the recovery from it leave nothing behind.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <thread>

#include "platform/Api.h"
#include "serial/CPort.h"
#include "tests/support/MainLoop.h"
#include "tests/support/ProcessCounts.h"
#include "tests/support/PseudoTerminal.h"

// Opens, uses and closes one monitored port first, so that what the runtime makes once per
// process or per thread (the main queue's wake-up, a sanitizer's helper thread, the main
// thread's own wake descriptor) exists before the counts are taken.
inline void WarmUpPortMachinery() {
  std::thread([] {}).join();
  PseudoTerminal pty;
  TComPort port(nullptr);
  port.SetPort(pty.DevicePath());
  port.OpenPort();
  port.WriteText("warm");
  pty.Read(4);
  CheckSynchronize(20);
  port.ClosePort();
}

class Baseline {
 public:
  Baseline() {
    platform::Install(nullptr);
    WarmUpPortMachinery();
    descriptors_ = OpenDescriptors();
    threads_ = SettledThreadCount();
  }
  // Call once everything the test made is gone.
  void ExpectRestored() const {
    EXPECT_EQ(ThreadsSettledAt(threads_), threads_) << "threads left running";
    EXPECT_EQ(OpenDescriptors(), descriptors_) << "descriptors left open; open now: " << DescriptorList();
  }
  std::size_t Threads() const { return threads_; }
  std::size_t Descriptors() const { return descriptors_; }

 private:
  std::size_t descriptors_ = 0;
  std::size_t threads_ = 0;
};
