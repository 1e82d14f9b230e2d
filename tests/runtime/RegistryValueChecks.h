// What every registry store must keep: a value's type across instances, and names that match
// in any letter case. Shared by the store under the user's folder and the real registry.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "runtime/Registry.h"

// `key` is opened (made) by one instance and `sameKeyOtherCase` names it for a second one.
inline void ExpectValuesKeepTheirTypeAcrossInstances(const std::string& key, const std::string& sameKeyOtherCase) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(key, true));
  reg.WriteString("Port", "COM3");
  reg.WriteString("Odd", "a=b\\c\nnext line");
  reg.WriteInteger("Timeouts.ReadInterval", -1);
  TRegistry other;
  ASSERT_TRUE(other.OpenKey(sameKeyOtherCase, false));
  EXPECT_EQ(other.ReadString("port"), "COM3");
  EXPECT_EQ(other.ReadString("Odd"), "a=b\\c\nnext line");
  EXPECT_EQ(other.ReadInteger("timeouts.readinterval"), -1);
  EXPECT_EQ(other.ReadString("Missing"), "");
  EXPECT_THROW(other.ReadInteger("Missing"), ERegistryException);
  EXPECT_THROW(other.ReadInteger("Port"), ERegistryException);
  EXPECT_THROW(other.ReadString("Timeouts.ReadInterval"), ERegistryException);
  EXPECT_TRUE(other.DeleteValue("PORT"));
  EXPECT_FALSE(other.DeleteValue("Port")) << "a value that is gone was not there to delete";
  EXPECT_FALSE(reg.ValueExists("Port"));
  reg.DeleteValue("Odd");
  reg.DeleteValue("Timeouts.ReadInterval");
}
