#include "runtime/Registry.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/runtime/RegistryValueChecks.h"
#include "tests/support/TemporaryHome.h"

namespace {

class RegistryTest : public ::testing::Test {
 protected:
  TemporaryHome home;
  TRegistry reg;
};

TEST_F(RegistryTest, KeysAreOpenedAndCreatedByPath) {
  EXPECT_FALSE(reg.OpenKey("Software\\Quorvel\\Port", false));
  ASSERT_TRUE(reg.OpenKey("Software\\Quorvel\\Port", true));
  EXPECT_EQ(reg.CurrentPath(), "Software\\Quorvel\\Port");
  EXPECT_TRUE(reg.KeyExists("SOFTWARE\\quorvel"));
  for (const char* bad : {"", "a\\\\b", "..\\escape", "a\\.", "a/b", "\\"}) EXPECT_FALSE(reg.OpenKey(bad, true)) << bad;
  reg.CloseKey();
  EXPECT_THROW(reg.ReadString("x"), ERegistryException);
}

TEST_F(RegistryTest, ValuesKeepTheirTypeAcrossInstancesAndMatchInAnyCase) {
  ExpectValuesKeepTheirTypeAcrossInstances("Software\\Test", "software\\TEST");
}

TEST_F(RegistryTest, TwoProcessesWritingTheSameKeyLoseNothing) {
  ASSERT_TRUE(reg.OpenKey("Software\\Shared", true));
  pid_t writers[2];
  for (int w = 0; w < 2; ++w) {
    writers[w] = fork();
    ASSERT_GE(writers[w], 0);
    if (writers[w] == 0) {
      TRegistry mine;
      mine.OpenKey("Software\\Shared", false);
      for (int i = 0; i < 100; ++i) mine.WriteInteger("w" + std::to_string(w) + "." + std::to_string(i), i);
      _exit(0);
    }
  }
  for (pid_t writer : writers) waitpid(writer, nullptr, 0);
  for (int w = 0; w < 2; ++w)
    for (int i = 0; i < 100; ++i) ASSERT_EQ(reg.ReadInteger("w" + std::to_string(w) + "." + std::to_string(i)), i);
}

}  // namespace
