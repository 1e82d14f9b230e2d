// Saves after OK that cannot be done as asked: the folder refuses new files, or the file that
// is there could not be read (so writing it whole would lose what it holds). Each raises the
// settings file's exception naming the file and the reason, after the display is back, and
// the file stays as it was, byte for byte.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "display/LCDControl_COM.h"
#include "plugin/HostInterface.h"
#include "plugin/SettingsUnit.h"
#include "runtime/IniFile.h"
#include "tests/reliability/UnprivilegedFileAccess.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ScriptedFormRunner.h"
#include "tests/support/TemporaryHome.h"

namespace {

namespace fs = std::filesystem;

std::size_t EntriesOf(const fs::path& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class FailedSaveTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(Folder()); }
  void TearDown() override {
    fs::permissions(Folder(), fs::perms(0755));
    record->DoneHardware();
  }
  TLCDControl_COM& Display() { return *static_cast<TLCDControl_COM*>(record->Control); }
  fs::path Folder() const { return home.SettingsFile().parent_path(); }

  // InitHardware, then the dialog with COM3 typed in and OK, all with the file access of an
  // unprivileged user; the message of the settings file's exception, empty when none came.
  std::string ConfigureUnprivileged() {
    fs::permissions(home.Path(), fs::perms(0755));
    ScriptedFormRunner runner([](TForm& form) {
      auto& dialog = dynamic_cast<TfrmSettings&>(form);
      dialog.cbPort->UserType("COM3");
      dialog.Button1->Click();
      return form.ModalResult();
    });
    UnprivilegedFileAccess unprivileged;
    record->InitHardware();
    try {
      record->ConfigureHardware();
    } catch (const EIniFileException& e) {
      return e.Message();
    }
    return {};
  }

  TemporaryHome home;
  fake::ScopedFakePlatform fake;
  HostInfoRecord* record = getHardware();
};

TEST_F(FailedSaveTest, AReadOnlyFolderKeepsTheOldFileAndTheFailureNamesIt) {
  const std::string old = "; the host's own\r\n[Quorvel.dll]\r\nPort=COM2\r\nLines count=4\r\n";
  home.WriteSettings(old);
  fs::permissions(home.SettingsFile(), fs::perms(0644));
  fs::permissions(Folder(), fs::perms(0555));
  {
    UnprivilegedFileAccess unprivileged;
    ASSERT_FALSE(UnprivilegedFileAccess::CanCreateIn(Folder())) << "the folder is writable after all";
  }
  const std::string message = ConfigureUnprivileged();
  EXPECT_NE(message.find(home.SettingsFile().string()), std::string::npos) << message;
  EXPECT_NE(message.find("access denied"), std::string::npos) << message;
  EXPECT_EQ(home.ReadSettings(), old);
  EXPECT_EQ(EntriesOf(Folder()), 1u) << "a temporary file was left";
  EXPECT_TRUE(Display().GetActive()) << "the display is back before the failure is reported";
  EXPECT_EQ(Display().Port(), "COM3");
  EXPECT_EQ(Display().GetRowCount(), 4) << "the file was read before the save";
}

TEST_F(FailedSaveTest, AFileThatCouldNotBeReadIsNotReplacedByTheFourKeysAlone) {
  const std::string old = "[Host]\nWindow=3\nTheme=dark\n\n[Quorvel.dll]\nLines count=4\n";
  home.WriteSettings(old);
  fs::permissions(home.SettingsFile(), fs::perms(0200));  // its owner may write it but nobody read it
  fs::permissions(Folder(), fs::perms(0777));             // and new files may be made beside it
  {
    UnprivilegedFileAccess unprivileged;
    ASSERT_FALSE(UnprivilegedFileAccess::CanRead(home.SettingsFile())) << "the file is readable after all";
  }
  const std::string message = ConfigureUnprivileged();
  EXPECT_EQ(Display().GetRowCount(), 2) << "an unreadable file reads as the defaults";
  EXPECT_NE(message.find(home.SettingsFile().string()), std::string::npos) << message;
  EXPECT_NE(message.find("access denied"), std::string::npos) << message;
  EXPECT_EQ(home.ReadSettings(), old) << "the host's own sections were lost";
  EXPECT_EQ(EntriesOf(Folder()), 1u) << "a temporary file was left";
  EXPECT_TRUE(Display().GetActive());
}

TEST_F(FailedSaveTest, AFileFarTooLargeToReadIsNotReplacedEither) {
  const std::string host = "[Host]\nWindow=3\n";
  home.WriteSettings(host);
  const std::uintmax_t size = std::uintmax_t{4} << 30;  // sparse: it takes no disk
  fs::resize_file(home.SettingsFile(), size);
  const std::string message = ConfigureUnprivileged();
  EXPECT_NE(message.find("file too large"), std::string::npos) << message;
  EXPECT_EQ(fs::file_size(home.SettingsFile()), size);
  std::ifstream in(home.SettingsFile(), std::ios::binary);
  std::string start(host.size() + 1, 'x');
  in.read(start.data(), static_cast<std::streamsize>(start.size()));
  EXPECT_EQ(start, host + '\0') << "the start of the file and the hole after it";
  EXPECT_TRUE(Display().GetActive());
}

}  // namespace
