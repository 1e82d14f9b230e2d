// The settings dialog: its stored form, and the form shown as a real Qt dialog on Qt's
// offscreen platform.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "display/LCDControl_COM.h"
#include "plugin/HostInterface.h"
#include "plugin/SettingsUnit.h"
#include "runtime/Cp1251.h"
#include "runtime/forms/qt/QtFormRunner.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/TemporaryHome.h"

namespace {

// Qt's offscreen platform shows real widgets without a display server.
const bool offscreen = [] { return setenv("QT_QPA_PLATFORM", "offscreen", 0) == 0; }();

struct Geometry {
  const char* name;
  int left, top, width, height, tabOrder;
};

TEST(SettingsFormTest, TheStoredFormHasEveryControlWhereItBelongs) {
  TfrmSettings form(nullptr);
  EXPECT_EQ(form.Caption(), Utf8ToCp1251(" Конфигурация..."));
  EXPECT_EQ(form.BorderStyle(), bsDialog);
  EXPECT_EQ(form.Position(), poMainFormCenter);
  EXPECT_EQ(form.ClientWidth(), 273);
  EXPECT_EQ(form.ClientHeight(), 233);
  EXPECT_EQ(form.Font().Height, -11);
  EXPECT_FALSE(form.Font().Bold);
  EXPECT_EQ(form.pnMain->Font().Height, -13);
  EXPECT_TRUE(form.pnMain->Font().Bold);
  EXPECT_EQ(form.pnMain->BevelInner(), bvRaised);
  EXPECT_EQ(form.pnMain->BevelOuter(), bvLowered);
  const Geometry expected[] = {
      {"Label2", 92, 16, 42, 16, -1},   {"Label3", 16, 48, 118, 16, -1},  {"Label4", 87, 80, 47, 16, -1},
      {"Label5", 57, 112, 77, 16, -1},  {"Label1", 60, 148, 74, 16, -1},  {"cbPort", 146, 12, 100, 24, 0},
      {"cbRows", 148, 76, 70, 24, 1},   {"cbCols", 148, 108, 70, 24, 2},  {"Button1", 55, 184, 75, 25, 3},
      {"Button2", 146, 184, 75, 25, 4}, {"cbBaudRate", 146, 144, 100, 24, 5},
  };
  for (const Geometry& g : expected) {
    auto* control = dynamic_cast<TControl*>(form.FindComponent(g.name));
    ASSERT_NE(control, nullptr) << g.name;
    EXPECT_EQ(control->Parent(), form.pnMain) << g.name;
    EXPECT_EQ((std::vector<int>{control->Left(), control->Top(), control->Width(), control->Height(), control->TabOrder()}),
              (std::vector<int>{g.left, g.top, g.width, g.height, g.tabOrder}))
        << g.name;
    EXPECT_TRUE(control->Font().Bold) << g.name << " takes the panel's font";
  }
  EXPECT_EQ(form.cbPort->Text(), "$378");
  EXPECT_EQ(form.cbPort->Items().Items(), (std::vector<std::string>{"$378", "$278", "$3BC"}));
  EXPECT_TRUE(form.cbPort->Editable() && form.cbRows->Editable() && form.cbCols->Editable());
  EXPECT_EQ(form.cbCols->Items().Count(), 6);
  EXPECT_EQ(form.cbBaudRate->Items().Count(), 16);
  EXPECT_EQ(form.cbBaudRate->ItemIndex(), 0);
  EXPECT_FALSE(form.cbBaudRate->Editable());
  EXPECT_EQ(form.cbBaudRate->ComPort(), nullptr);
  EXPECT_EQ(form.Button1->Caption(), Utf8ToCp1251("Ок"));
  EXPECT_TRUE(form.Button1->Default());
  EXPECT_EQ(form.Button1->ModalResult(), mrOk);
  EXPECT_EQ(form.Button2->Caption(), Utf8ToCp1251("Отмена"));
  EXPECT_TRUE(form.Button2->Cancel());
  EXPECT_EQ(form.Button2->ModalResult(), mrCancel);
  EXPECT_EQ(form.TabOrderedControls(),
            (std::vector<TControl*>{form.cbPort, form.cbRows, form.cbCols, form.Button1, form.Button2, form.cbBaudRate}));
}

class QtDialogTest : public ::testing::Test {
 protected:
  TModalResult Show(std::function<void(QDialog&)> script) {
    runner.OnShown = std::move(script);
    return form.ShowModal(runner);
  }
  template <class W>
  static W& Widget(QDialog& dialog, const char* name) {
    auto* widget = dialog.findChild<W*>(name);
    if (!widget) throw std::runtime_error(std::string("no widget ") + name);
    return *widget;
  }

  TfrmSettings form{nullptr};
  TQtFormRunner runner;
};

TEST_F(QtDialogTest, TheWindowShowsTheFormAsStored) {
  Show([](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(" Конфигурация..."));
    EXPECT_EQ(dialog.size(), QSize(273, 233));
    EXPECT_EQ(Widget<QWidget>(dialog, "pnMain").geometry(), QRect(8, 8, 257, 217));
    EXPECT_EQ(Widget<QComboBox>(dialog, "cbBaudRate").geometry(), QRect(146, 144, 100, 24));
    EXPECT_EQ(Widget<QLabel>(dialog, "Label3").text(), QString::fromUtf8("Размер экрана:"));
    EXPECT_EQ(Widget<QPushButton>(dialog, "Button2").text(), QString::fromUtf8("Отмена"));
    const QFont panelFont = Widget<QLabel>(dialog, "Label1").font();
    EXPECT_TRUE(panelFont.bold());
    EXPECT_EQ(panelFont.pixelSize(), 13);
    EXPECT_TRUE(Widget<QComboBox>(dialog, "cbPort").isEditable());
    EXPECT_FALSE(Widget<QComboBox>(dialog, "cbBaudRate").isEditable());
    EXPECT_EQ(Widget<QComboBox>(dialog, "cbBaudRate").currentText(), "Custom");

    // Tab walks port, rows, characters, OK, Cancel, then the baud rate.
    std::vector<QString> order;
    QWidget* focus = &Widget<QWidget>(dialog, "cbPort");
    for (int steps = 0; order.size() < 6 && steps < 100; ++steps, focus = focus->nextInFocusChain())
      if (focus->focusPolicy() != Qt::NoFocus && !focus->objectName().isEmpty() &&
          (order.empty() || order.back() != focus->objectName()))
        order.push_back(focus->objectName());
    EXPECT_EQ(order, (std::vector<QString>{"cbPort", "cbRows", "cbCols", "Button1", "Button2", "cbBaudRate"}));

    std::filesystem::create_directories(ARTIFACT_FOLDER);
    EXPECT_TRUE(dialog.grab().save(QString(ARTIFACT_FOLDER) + "/settings-dialog.png"));
    dialog.reject();
  });
}

TEST_F(QtDialogTest, EnterPressesOkAndEscPressesCancel) {
  EXPECT_EQ(Show([](QDialog& dialog) { QTest::keyClick(&Widget<QLineEdit>(dialog, ""), Qt::Key_Return); }), mrOk);
  EXPECT_EQ(Show([](QDialog& dialog) { QTest::keyClick(dialog.focusWidget(), Qt::Key_Return); }), mrOk);
  EXPECT_EQ(Show([](QDialog& dialog) { QTest::keyClick(dialog.focusWidget(), Qt::Key_Escape); }), mrCancel);
  EXPECT_EQ(Show([](QDialog& dialog) { dialog.close(); }), mrCancel);
}

TEST_F(QtDialogTest, WhatTheUserTypesAndPicksReachesConfigureHardware) {
  TemporaryHome home;
  fake::ScopedFakePlatform fake;
  HostInfoRecord* record = getHardware();
  record->InitHardware();
  runner.OnShown = [](QDialog& dialog) {
    QLineEdit* port = Widget<QComboBox>(dialog, "cbPort").lineEdit();
    port->selectAll();
    QTest::keyClicks(port, "COM3");
    auto& rate = Widget<QComboBox>(dialog, "cbBaudRate");
    rate.setFocus();
    for (int i = 0; i < 4; ++i) QTest::keyClick(&rate, Qt::Key_Down);  // 2400 → 19200
    QTest::keyClick(&rate, Qt::Key_Return);
  };
  TFormRunner* previous = InstallFormRunner(&runner);
  record->ConfigureHardware();
  InstallFormRunner(previous);
  EXPECT_EQ(static_cast<TLCDControl_COM*>(record->Control)->Port(), "COM3");
  EXPECT_NE(home.ReadSettings()->find("Port=COM3\nBaudrate=9\n"), std::string::npos) << *home.ReadSettings();
  record->DoneHardware();
}

}  // namespace
