#include "runtime/forms/TerminalFormRunner.h"

#include <cstdlib>

#include "runtime/Cp1251.h"
#include "runtime/StringList.h"
#include "runtime/forms/ComboBox.h"
#include "runtime/forms/Label.h"

std::string LabelFor(const TControl& Control) {
  const TControl* best = nullptr;
  int bestDistance = 13;  // rows are 16 pixels apart or more
  if (Control.Parent())
    for (const TControl* sibling : Control.Parent()->Controls()) {
      if (!dynamic_cast<const TLabel*>(sibling) || sibling->Left() >= Control.Left()) continue;
      const int distance = std::abs((sibling->Top() + sibling->Height() / 2) - (Control.Top() + Control.Height() / 2));
      if (distance < bestDistance) {
        best = sibling;
        bestDistance = distance;
      }
    }
  return best ? best->Caption() : Control.Name();
}

bool TTerminalFormRunner::AskCombo(TComboBox& Combo, const std::string& Label) {
  for (;;) {
    FWrite("  " + Cp1251ToUtf8(Label) + " [" + Cp1251ToUtf8(Combo.Text()) + "]: ");
    std::string line;
    if (!FReadLine(line)) return false;
    if (line.empty()) return true;
    const std::string text = Utf8ToCp1251(line);
    if (Combo.Editable()) {
      Combo.UserType(text);
      return true;
    }
    if (const int index = Combo.Items().IndexOf(text); index >= 0) {
      Combo.UserSelect(index);
      return true;
    }
    std::string choices;
    for (const std::string& item : Combo.Items().Items()) choices += (choices.empty() ? "" : ", ") + Cp1251ToUtf8(item);
    FWrite("    one of: " + choices + "\n");
  }
}

TModalResult TTerminalFormRunner::ShowModal(TForm& Form) {
  FWrite(Cp1251ToUtf8(Form.Caption()) + "\n");
  for (TControl* control : Form.TabOrderedControls())
    if (auto* combo = dynamic_cast<TComboBox*>(control); combo && combo->Enabled())
      if (!AskCombo(*combo, LabelFor(*combo))) return mrCancel;

  TButton* ok = Form.DefaultButton();
  TButton* cancel = Form.CancelButton();
  const std::string okCaption = ok ? Cp1251ToUtf8(ok->Caption()) : "OK";
  const std::string cancelCaption = cancel ? Cp1251ToUtf8(cancel->Caption()) : "Cancel";
  for (;;) {
    FWrite("  " + okCaption + " / " + cancelCaption + " [" + okCaption + "]: ");
    std::string line;
    if (!FReadLine(line)) return mrCancel;
    const std::string answer = AsciiUpperCase(line);
    TButton* pressed = nullptr;
    bool known = true;
    if (line.empty() || line == okCaption || answer == "Y" || answer == "YES" || answer == "OK")
      pressed = ok;
    else if (line == cancelCaption || answer == "N" || answer == "NO" || answer == "CANCEL" || answer == "Q")
      pressed = cancel;
    else
      known = false;
    if (!known) continue;
    if (!pressed) return line.empty() ? mrOk : mrCancel;
    Form.SetModalResult(mrNone);
    pressed->Click();
    if (Form.ModalResult() != mrNone) return Form.ModalResult();
  }
}
