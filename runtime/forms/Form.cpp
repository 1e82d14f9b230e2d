#include "runtime/forms/Form.h"

#include <algorithm>
#include <atomic>
#include <functional>

#include "runtime/Exception.h"

namespace {
std::atomic<TFormRunner*> runner{nullptr};

template <class Found>
TButton* FindButton(const TControl& root, Found found) {
  for (TControl* child : root.Controls()) {
    if (auto* button = dynamic_cast<TButton*>(child); button && found(*button)) return button;
    if (TButton* inner = FindButton(*child, found)) return inner;
  }
  return nullptr;
}
}  // namespace

TFormRunner* InstallFormRunner(TFormRunner* Runner) { return runner.exchange(Runner); }
TFormRunner* CurrentFormRunner() { return runner.load(); }

TForm* ParentForm(const TControl& Control) {
  for (TControl* parent = Control.Parent(); parent; parent = parent->Parent())
    if (auto* form = dynamic_cast<TForm*>(parent)) return form;
  return nullptr;
}

void TForm::SetClientSize(int AWidth, int AHeight) {
  FClientWidth = AWidth;
  FClientHeight = AHeight;
}

TModalResult TForm::ShowModal() {
  TFormRunner* shower = CurrentFormRunner();
  if (!shower) throw Exception("Cannot show the form " + Name() + ": no way to show forms is installed");
  return ShowModal(*shower);
}

TModalResult TForm::ShowModal(TFormRunner& Runner) {
  FModalResult = mrNone;
  FModalResult = Runner.ShowModal(*this);
  return FModalResult;
}

std::vector<TControl*> TForm::TabOrderedControls() const {
  std::vector<TControl*> ordered;
  std::function<void(const TControl&)> visit = [&](const TControl& container) {
    std::vector<TControl*> children;
    for (TControl* child : container.Controls())
      if (child->TabOrder() >= 0) children.push_back(child);
    std::stable_sort(children.begin(), children.end(),
                     [](const TControl* a, const TControl* b) { return a->TabOrder() < b->TabOrder(); });
    for (TControl* child : children) {
      if (child->Controls().empty())
        ordered.push_back(child);
      else
        visit(*child);
    }
  };
  visit(*this);
  return ordered;
}

TButton* TForm::DefaultButton() const {
  return FindButton(*this, [](const TButton& b) { return b.Default(); });
}

TButton* TForm::CancelButton() const {
  return FindButton(*this, [](const TButton& b) { return b.Cancel(); });
}

bool TForm::ReadProperty(const std::string& Name, const std::string& Value) {
  static const char* const BorderStyles[] = {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow",
                                             "bsSizeToolWin"};
  static const char* const Positions[] = {"poDesigned",       "poDefault",       "poDefaultPosOnly",
                                          "poDefaultSizeOnly", "poScreenCenter",  "poDesktopCenter",
                                          "poMainFormCenter", "poOwnerFormCenter"};
  if (Name == "BorderStyle")
    SetBorderStyle(static_cast<TFormBorderStyle>(StoredChoice(Name, Value, BorderStyles)));
  else if (Name == "Position")
    SetPosition(static_cast<TPosition>(StoredChoice(Name, Value, Positions)));
  else if (Name == "ClientWidth")
    FClientWidth = StoredInteger(Name, Value);
  else if (Name == "ClientHeight")
    FClientHeight = StoredInteger(Name, Value);
  else
    return TControl::ReadProperty(Name, Value);
  return true;
}
