// The guest programs' main. Their tests open the machine's serial ports and ask the harness
// for actions, so they run only inside the bench's machine; on the host they only list
// themselves (which is how ctest learns their names).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "tests/realdrivers/guest/ControlChannel.h"

namespace {

bool InTheBenchMachine() {
  std::ifstream cmdline("/proc/cmdline");
  const std::string text((std::istreambuf_iterator<char>(cmdline)), {});
  return text.find("quorvel.bench=1") != std::string::npos;
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleMock(&argc, argv);
  if (!GTEST_FLAG_GET(list_tests) && !InTheBenchMachine()) {
    std::cerr << argv[0] << ": these tests run inside the bench's virtual machine (make test, or ctest -L real-drivers)\n";
    return 1;
  }
  // Opened before any test counts the program's descriptors, so it is not taken for a leak.
  if (!GTEST_FLAG_GET(list_tests)) realdrivers::ControlChannel::Instance();
  return RUN_ALL_TESTS();
}
