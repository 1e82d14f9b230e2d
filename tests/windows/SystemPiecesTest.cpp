// The Windows build's own pieces on the real system calls (under Wine in the tests' session):
// the registry, the code page, the documents folder, the port list and the main thread's wake
// handle.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>

#include "platform/CodePage.h"
#include "platform/Files.h"
#include "platform/Waker.h"
#include "plugin/SettingsFile.h"
#include "runtime/MainThread.h"
#include "runtime/Registry.h"
#include "runtime/Thread.h"
#include "tests/runtime/RegistryValueChecks.h"
#include "serial/CPort.h"
#include "tests/support/Worker.h"

namespace {

const std::string TestKey = "Software\\QuorvelTests\\Registry";

TEST(WindowsRegistryTest, ValuesKeepTheirTypeAcrossInstancesAndMatchInAnyCase) {
  ExpectValuesKeepTheirTypeAcrossInstances(TestKey, "software\\QUORVELTESTS\\Registry");
  EXPECT_TRUE(TRegistry().KeyExists("SOFTWARE\\quorveltests\\registry"));
}

TEST(WindowsRegistryTest, MissingKeysAndBadPathsAreRefused) {
  TRegistry reg;
  EXPECT_FALSE(reg.OpenKey("Software\\QuorvelTests\\Never\\There", false));
  for (const char* bad : {"", "a\\\\b", "..\\escape", "a\\.", "\\"}) EXPECT_FALSE(reg.OpenKey(bad, true)) << bad;
  EXPECT_THROW(reg.WriteString("x", "y"), ERegistryException) << "no key is open";
}

TEST(WindowsPortListTest, ThePortsComeFromTheSerialDeviceMapSorted) {
  // Wine lets the test add a port of its own to the map; Windows would need an administrator.
  TRegistry map;
  map.SetRootKey(TRootKey::HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(map.OpenKey("HARDWARE\\DEVICEMAP\\SERIALCOMM", true));
  map.WriteString("\\Device\\QuorvelTest0", "COM42");
  TStringList ports;
  EnumSerialPorts(ports);
  map.DeleteValue("\\Device\\QuorvelTest0");
  EXPECT_GE(ports.IndexOf("COM42"), 0);
  for (int i = 1; i < ports.Count(); ++i) EXPECT_LE(CompareText(ports.Strings(i - 1), ports.Strings(i)), 0);
}

TEST(WindowsCodePageTest, Windows1251AndUtf8ConvertBothWays) {
  EXPECT_EQ(platform::Utf8ToCp1251("Привет, Ёж! №1"), "\xCF\xF0\xE8\xE2\xE5\xF2, \xA8\xE6! \xB9" "1");
  EXPECT_EQ(platform::Cp1251ToUtf8("\xCF\xF0\xE8\xE2\xE5\xF2 \x88"), "Привет €");
  // What the code page lacks becomes '?', never a look-alike ("é" is not "e").
  EXPECT_EQ(platform::Utf8ToCp1251("café 中"), "caf? ?");
  for (int byte = 1; byte < 256; ++byte) {
    if (byte == 0x98) continue;  // the one byte that Windows-1251 leaves without a letter
    const std::string one(1, static_cast<char>(byte));
    EXPECT_EQ(platform::Utf8ToCp1251(platform::Cp1251ToUtf8(one)), one) << byte;
  }
  EXPECT_EQ(platform::Cp1251ToUtf8(""), "");
}

TEST(WindowsFoldersTest, TheSettingsFileIsInTheShellsDocumentsFolder) {
  const std::string documents = platform::DocumentsFolder();
  ASSERT_FALSE(documents.empty());
  EXPECT_NE(documents.back(), '\\') << "the folder ends without a separator";
  EXPECT_TRUE(std::filesystem::is_directory(documents)) << documents;
  EXPECT_EQ(SettingsFilePath(), documents + "\\Vantorix3.ini");
}

TEST(WindowsMainThreadTest, TheWakeHandleIsAnEventSignalledExactlyWhileWorkWaits) {
  const std::intptr_t wake = MainThreadWakeHandle();
  EXPECT_FALSE(platform::PollHandleSignalled(wake, 0));
  std::atomic<bool> ran{false};
  Worker worker([&](Worker& self) {
    self.SetPriority(tpLower);
    self.Synchronize([&] { ran = true; });
  });
  worker.SetPriority(tpLower);
  worker.Resume();
  ASSERT_TRUE(platform::PollHandleSignalled(wake, 5000)) << "a host's wait on the handle wakes for the hand-over";
  EXPECT_FALSE(ran) << "the work waits for the main thread";
  EXPECT_TRUE(CheckSynchronize(0));
  EXPECT_TRUE(ran);
  worker.WaitFor();
  EXPECT_FALSE(platform::PollHandleSignalled(wake, 0));
}

}  // namespace
