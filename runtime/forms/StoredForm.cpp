#include "runtime/forms/StoredForm.h"

#include <map>
#include <mutex>

#include "runtime/Exception.h"
#include "runtime/forms/Button.h"
#include "runtime/forms/ComboBox.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/Panel.h"

namespace {

template <class T>
TControlFactory Make() {
  return [](TComponent* owner) -> TControl* { return new T(owner); };
}

std::mutex registryMutex;
std::map<std::string, TControlFactory>& Registry() {
  static std::map<std::string, TControlFactory> registry = {
      {"TPanel", Make<TPanel>()},
      {"TLabel", Make<TLabel>()},
      {"TComboBox", Make<TComboBox>()},
      {"TButton", Make<TButton>()},
  };
  return registry;
}

TControlFactory FactoryFor(const std::string& className) {
  std::lock_guard lock(registryMutex);
  auto it = Registry().find(className);
  if (it == Registry().end()) throw Exception("Class " + className + " not found");
  return it->second;
}

void ReadProperties(TControl& control, const TStoredComponent& stored) {
  if (!stored.Name.empty()) control.SetName(stored.Name);
  for (const TStoredProperty& property : stored.Properties)
    if (!control.ReadProperty(property.Name, property.Value))
      throw Exception("Property " + stored.Name + "." + property.Name + " does not exist");
}

void LoadChildren(TForm& form, TControl& container, const TStoredComponent& stored, std::vector<TControl*>& loaded) {
  for (const TStoredComponent& child : stored.Children) {
    TControl* control = FactoryFor(child.ClassName)(&form);
    control->Loading();
    loaded.push_back(control);
    control->SetParent(&container);
    ReadProperties(*control, child);
    LoadChildren(form, *control, child, loaded);
  }
}

}  // namespace

void RegisterControlClass(const std::string& ClassName, TControlFactory Factory) {
  std::lock_guard lock(registryMutex);
  Registry()[ClassName] = std::move(Factory);
}

void LoadForm(TForm& Form, const TStoredComponent& Stored) {
  std::vector<TControl*> loaded{&Form};
  Form.Loading();
  try {
    ReadProperties(Form, Stored);
    LoadChildren(Form, Form, Stored, loaded);
  } catch (...) {
    for (TControl* control : loaded) control->Loaded();
    throw;
  }
  for (TControl* control : loaded) control->Loaded();
}
