// The settings dialog as a text form on a terminal, answered line by line.
#include <gtest/gtest.h>

#include <deque>

#include "plugin/SettingsUnit.h"
#include "runtime/Cp1251.h"
#include "runtime/forms/TerminalFormRunner.h"

namespace {

struct Conversation {
  std::deque<std::string> answers;
  std::string shown;
  TTerminalFormRunner Runner() {
    return TTerminalFormRunner([this](const std::string& text) { shown += text; },
                               [this](std::string& line) {
                                 if (answers.empty()) return false;
                                 line = answers.front();
                                 answers.pop_front();
                                 return true;
                               });
  }
};

TEST(TerminalDialogTest, EachFieldIsAskedWithItsLabelAndEnterKeepsIt) {
  TfrmSettings form(nullptr);
  form.cbPort->SetText("COM2");
  Conversation terminal{{"/dev/ttyUSB0", "", "20", "fast", "19200", ""}, {}};
  auto runner = terminal.Runner();
  EXPECT_EQ(form.ShowModal(runner), mrOk);
  EXPECT_EQ(form.cbPort->Text(), "/dev/ttyUSB0");
  EXPECT_EQ(form.cbRows->Text(), "2");
  EXPECT_EQ(form.cbCols->Text(), "20");
  EXPECT_EQ(form.cbBaudRate->ItemIndex(), 9);
  EXPECT_NE(terminal.shown.find(" Конфигурация..."), std::string::npos);
  EXPECT_NE(terminal.shown.find("Порт: [COM2]"), std::string::npos);
  EXPECT_NE(terminal.shown.find("символов: [16]"), std::string::npos);
  EXPECT_NE(terminal.shown.find("one of: Custom, 110"), std::string::npos) << "a rate not in the list is asked again";
  EXPECT_NE(terminal.shown.find("Ок / Отмена"), std::string::npos);
}

TEST(TerminalDialogTest, CancelOrTheEndOfInputGiveCancel) {
  TfrmSettings form(nullptr);
  Conversation cancel{{"", "", "", "", "Отмена"}, {}};
  auto runner = cancel.Runner();
  EXPECT_EQ(form.ShowModal(runner), mrCancel);
  Conversation ended{{"COM7"}, {}};
  auto cut = ended.Runner();
  EXPECT_EQ(form.ShowModal(cut), mrCancel);
}

}  // namespace
