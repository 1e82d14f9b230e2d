// Helpers shared by the port's tests over the fake platform.
#pragma once

#include <gtest/gtest.h>

#include <exception>
#include <string>
#include <utility>

#include "runtime/Application.h"
#include "serial/CPort.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/PseudoTerminal.h"

// The EComPort that `action` raises; a test failure when it raises none.
template <class Action>
EComPort RaisedBy(Action action) {
  try {
    action();
  } catch (const EComPort& e) {
    return e;
  }
  ADD_FAILURE() << "no EComPort was raised";
  return EComPort(0);
}

// A device-control block as hex bytes, for comparisons whose failure shows the difference.
inline std::string Bytes(const platform::DCB& dcb) {
  return Hex(std::string(reinterpret_cast<const char*>(&dcb), sizeof dcb));
}

// Replaces the application's exception reporter for one scope.
class ScopedReporter {
 public:
  explicit ScopedReporter(TApplication::Reporter reporter = [](TObject*, std::exception_ptr) {})
      : previous_(Application().SetReporter(std::move(reporter))) {}
  ~ScopedReporter() { Application().SetReporter(std::move(previous_)); }
  ScopedReporter(const ScopedReporter&) = delete;
  ScopedReporter& operator=(const ScopedReporter&) = delete;

 private:
  TApplication::Reporter previous_;
};

// A port on the fake, open without events so that no event thread makes calls of its own,
// with the record of its opening cleared.
class OpenPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    port.SetEvents({});
    port.OpenPort();
    ASSERT_TRUE(port.Connected());
    fake->ClearCalls();
  }
  // The block the last SetCommState received.
  platform::DCB Sent() const {
    const auto states = fake->CommStates();
    if (states.empty()) {
      ADD_FAILURE() << "no device-control block was sent";
      return {};
    }
    return states.back();
  }

  fake::ScopedFakePlatform fake;
  TComPort port{nullptr};
};
