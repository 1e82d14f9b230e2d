// The two ways of handing event batches to the main thread, as test parameters.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "serial/CPort.h"

inline const auto MainThreadHandOverMethods = ::testing::Values(smThreadSync, smWindowSync);

inline std::string HandOverName(const ::testing::TestParamInfo<TSyncMethod>& method) {
  return method.param == smThreadSync ? "ThreadSync" : "WindowSync";
}
