#include "runtime/forms/qt/QtFormRunner.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <map>

#include "runtime/Cp1251.h"
#include "runtime/forms/ComboBox.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/Panel.h"

namespace {

QString Decode(const std::string& cp1251) { return QString::fromStdString(Cp1251ToUtf8(cp1251)); }
std::string Encode(const QString& text) { return Utf8ToCp1251(text.toStdString()); }

QFont FontOf(const TControl& control) {
  const TFont font = control.Font();
  QFont q(QString::fromStdString(font.Name));
  q.setPixelSize(font.Height < 0 ? -font.Height : font.Height);
  q.setBold(font.Bold);
  return q;
}

void EnsureApplication() {
  if (qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  // The host runs no Qt of its own: the module keeps one application object for its dialogs.
  static int argc = 1;
  static char name[] = "quorvel";
  static char* argv[] = {name, nullptr};
  static QApplication* application = new QApplication(argc, argv);
  (void)application;
}

// The dialog window: Esc and closing press the Cancel button; Enter presses the Default one
// wherever the focus is.
class FormDialog : public QDialog {
 public:
  FormDialog(TForm& form, std::map<TButton*, QPushButton*>& buttons) : form_(form), buttons_(buttons) {}

  void reject() override {
    if (TButton* cancel = form_.CancelButton()) {
      cancel->Click();
      Finish(form_.ModalResult() != mrNone ? form_.ModalResult() : mrCancel);
    } else {
      Finish(mrCancel);
    }
  }
  void Finish(TModalResult result) { done(result); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if ((key == Qt::Key_Return || key == Qt::Key_Enter) && form_.DefaultButton()) {
        buttons_.at(form_.DefaultButton())->click();
        return true;
      }
    }
    return QDialog::eventFilter(watched, event);
  }

 private:
  TForm& form_;
  std::map<TButton*, QPushButton*>& buttons_;
};

struct Builder {
  FormDialog& dialog;
  std::map<TButton*, QPushButton*>& buttons;
  std::map<TControl*, QWidget*> widgets;

  QWidget* Build(TControl& control, QWidget* parent) {
    QWidget* widget = nullptr;
    if (auto* panel = dynamic_cast<TPanel*>(&control)) {
      auto* frame = new QFrame(parent);
      frame->setFrameShape(QFrame::Panel);
      frame->setFrameShadow(panel->BevelOuter() == bvLowered ? QFrame::Sunken : QFrame::Raised);
      frame->setLineWidth(panel->BevelInner() == bvNone ? 1 : 2);
      widget = frame;
    } else if (auto* label = dynamic_cast<TLabel*>(&control)) {
      auto* q = new QLabel(Decode(label->Caption()), parent);
      q->setAlignment(Qt::AlignRight | Qt::AlignVCenter);  // the labels line up at their right edges
      widget = q;
    } else if (auto* combo = dynamic_cast<TComboBox*>(&control)) {
      widget = BuildCombo(*combo, parent);
    } else if (auto* button = dynamic_cast<TButton*>(&control)) {
      auto* q = new QPushButton(Decode(button->Caption()), parent);
      q->setDefault(button->Default());
      q->setAutoDefault(false);
      QObject::connect(q, &QPushButton::clicked, &dialog, [this, button] {
        button->Click();
        if (TForm* form = ParentForm(*button); form && form->ModalResult() != mrNone) dialog.Finish(form->ModalResult());
      });
      buttons[button] = q;
      widget = q;
    } else {
      widget = new QWidget(parent);
    }
    widget->setGeometry(control.Left(), control.Top(), control.Width(), control.Height());
    widget->setFont(FontOf(control));
    widget->setEnabled(control.Enabled());
    widget->setVisible(control.Visible());
    widget->setFocusPolicy(control.TabOrder() >= 0 ? Qt::StrongFocus : Qt::NoFocus);
    widget->setObjectName(QString::fromStdString(control.Name()));
    widget->installEventFilter(&dialog);
    widgets[&control] = widget;
    for (TControl* child : control.Controls()) Build(*child, widget);
    return widget;
  }

  QWidget* BuildCombo(TComboBox& combo, QWidget* parent) {
    auto* q = new QComboBox(parent);
    for (const std::string& item : combo.Items().Items()) q->addItem(Decode(item));
    q->setMaxVisibleItems(combo.DropDownCount());
    if (combo.Editable()) {
      q->setEditable(true);
      q->setInsertPolicy(QComboBox::NoInsert);
      q->setCurrentIndex(combo.ItemIndex());
      q->setEditText(Decode(combo.Text()));
      q->lineEdit()->installEventFilter(&dialog);
      QObject::connect(q->lineEdit(), &QLineEdit::textEdited, &dialog,
                       [&combo](const QString& text) { combo.UserType(Encode(text)); });
    } else {
      q->setCurrentIndex(combo.ItemIndex());
    }
    QObject::connect(q, qOverload<int>(&QComboBox::activated), &dialog, [&combo](int index) { combo.UserSelect(index); });
    return q;
  }
};

}  // namespace

TModalResult TQtFormRunner::ShowModal(TForm& Form) {
  EnsureApplication();
  std::map<TButton*, QPushButton*> buttons;
  FormDialog dialog(Form, buttons);
  dialog.setWindowTitle(Decode(Form.Caption()));
  dialog.setObjectName(QString::fromStdString(Form.Name()));
  dialog.setFont(FontOf(Form));
  if (Form.BorderStyle() == bsDialog || Form.BorderStyle() == bsSingle) {
    dialog.setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    dialog.setFixedSize(Form.ClientWidth(), Form.ClientHeight());
  } else {
    dialog.resize(Form.ClientWidth(), Form.ClientHeight());
  }

  Builder builder{dialog, buttons, {}};
  for (TControl* child : Form.Controls()) builder.Build(*child, &dialog);
  QWidget* previous = nullptr;
  for (TControl* control : Form.TabOrderedControls()) {
    QWidget* widget = builder.widgets.at(control);
    if (previous) QWidget::setTabOrder(previous, widget);
    else widget->setFocus(Qt::OtherFocusReason);
    previous = widget;
  }
  if (OnShown) QTimer::singleShot(0, &dialog, [this, &dialog] { OnShown(dialog); });
  const int result = dialog.exec();
  return result == QDialog::Rejected ? mrCancel : result;
}
