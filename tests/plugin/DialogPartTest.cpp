// The module shows its settings dialog through a part of its own, QuorvelDialog.so, loaded only
// when the dialog is shown on a screen; without the part it falls back as without a screen.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "plugin/HostInterface.h"
#include "runtime/Cp1251.h"
#include "tests/support/PseudoTerminal.h"
#include "tests/support/TemporaryHome.h"

namespace {

namespace fs = std::filesystem;

HostInfoRecord* LoadModule(const std::string& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (!handle) return nullptr;
  auto getHardware = reinterpret_cast<HostInfoRecord* (*)()>(dlsym(handle, "getHardware"));
  return getHardware ? getHardware() : nullptr;
}

bool Mapped(const std::string& fileName) {
  std::ifstream maps("/proc/self/maps");
  const std::string all((std::istreambuf_iterator<char>(maps)), {});
  return all.find("/" + fileName) != std::string::npos;
}

class DialogPartTest : public ::testing::Test {
 protected:
  void SetUp() override { home.WriteSettings("[Quorvel.dll]\nPort=" + pty.DevicePath() + "\n"); }

  PseudoTerminal pty;
  TemporaryHome home;
};

TEST_F(DialogPartTest, TheModuleLoadsItsDialogPartOnlyToShowTheWindow) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "dialog_part_tests";
  static char* argv[] = {name, nullptr};
  QApplication application(argc, argv);
  HostInfoRecord* record = LoadModule(MODULE_PATH);
  ASSERT_NE(record, nullptr) << dlerror();
  record->InitHardware();
  EXPECT_FALSE(Mapped("QuorvelDialog.so")) << "nothing of the dialog is loaded before it is shown";

  std::string caption;
  QTimer::singleShot(0, [&] {
    // The part's window, found and answered as the user would: Esc is Cancel.
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    caption = dialog->windowTitle().toStdString();
    QTest::keyClick(dialog, Qt::Key_Escape);
  });
  EXPECT_EQ(record->ConfigureHardware(), 0);
  EXPECT_EQ(caption, " Конфигурация...");
  EXPECT_TRUE(Mapped("QuorvelDialog.so"));
  EXPECT_TRUE(record->Control->GetActive()) << "Cancel reopens the display";
  record->DoneHardware();
}

TEST_F(DialogPartTest, WithoutThePartTheDialogFallsBackToTheTerminalAndWithoutOneSaysSo) {
  // A copy of the module alone in a folder, in a process without a controlling terminal.
  const fs::path alone = home.Path() / "module";
  fs::create_directories(alone);
  fs::copy_file(MODULE_PATH, alone / "Quorvel.so");
  const pid_t child = fork();
  if (child == 0) {
    setsid();
    setenv("QT_QPA_PLATFORM", "offscreen", 1);  // a screen is there; the part is not
    HostInfoRecord* record = LoadModule((alone / "Quorvel.so").string());
    if (!record) _exit(10);
    record->InitHardware();
    int outcome = 11;
    try {
      record->ConfigureHardware();
    } catch (const Exception& e) {
      const bool clear = Cp1251ToUtf8(e.Message()).find("cannot be shown") != std::string::npos;
      outcome = clear && record->Control->GetActive() ? 0 : 12;
    }
    record->DoneHardware();
    _exit(outcome);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
