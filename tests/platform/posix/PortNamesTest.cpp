#include "platform/posix/PortNames.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

namespace {

using platform::posix::DevicePathForPort;
namespace fs = std::filesystem;

TEST(PortNamesTest, NamesMapToDevices) {
  const std::string noAliases = "/nonexistent-alias-folder";
  EXPECT_EQ(DevicePathForPort("\\\\.\\COM1", noAliases), "/dev/ttyS0");
  EXPECT_EQ(DevicePathForPort("\\\\.\\com12", noAliases), "/dev/ttyS11");
  EXPECT_EQ(DevicePathForPort("\\\\.\\ttyUSB0", noAliases), "/dev/ttyUSB0");
  EXPECT_EQ(DevicePathForPort("\\\\.\\/dev/pts/3", noAliases), "/dev/pts/3");
  EXPECT_EQ(DevicePathForPort("ttyACM1", noAliases), "/dev/ttyACM1");
  // Not COMn with n >= 1: plain names.
  EXPECT_EQ(DevicePathForPort("\\\\.\\COM0", noAliases), "/dev/COM0");
  EXPECT_EQ(DevicePathForPort("\\\\.\\COMX", noAliases), "/dev/COMX");
  EXPECT_EQ(DevicePathForPort("\\\\.\\COM", noAliases), "/dev/COM");
}

TEST(PortNamesTest, AnAliasInTheFolderWinsOverTheLegacyPort) {
  const fs::path folder = fs::temp_directory_path() / ("aliases-" + std::to_string(getpid()));
  fs::create_directories(folder);
  fs::create_symlink("/dev/null", folder / "com3");
  EXPECT_EQ(DevicePathForPort("\\\\.\\COM3", folder.string()), (folder / "com3").string());
  EXPECT_EQ(DevicePathForPort("\\\\.\\Com3", folder.string()), (folder / "com3").string());
  EXPECT_EQ(DevicePathForPort("\\\\.\\COM4", folder.string()), "/dev/ttyS3");
  fs::remove_all(folder);
}

TEST(PortNamesTest, AliasFolderFollowsTheUsersConfigurationFolder) {
  const char* savedConfig = getenv("XDG_CONFIG_HOME");
  const std::string saved = savedConfig ? savedConfig : "";
  setenv("XDG_CONFIG_HOME", "/home/someone/.cfg", 1);
  EXPECT_EQ(platform::posix::PortAliasFolder(), "/home/someone/.cfg/quorvel/ports");
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(platform::posix::PortAliasFolder(), std::string(getenv("HOME")) + "/.config/quorvel/ports");
  if (savedConfig) setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
}

}  // namespace
