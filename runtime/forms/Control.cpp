#include "runtime/forms/Control.h"

#include <charconv>

#include "runtime/Exception.h"

bool TControl::ReadProperty(const std::string& Name, const std::string& Value) {
  if (Name == "Name")
    SetName(Value);
  else if (Name == "Enabled")
    SetEnabled(StoredBoolean(Name, Value));
  else if (Name == "Visible")
    SetVisible(StoredBoolean(Name, Value));
  else if (Name == "TabOrder")
    SetTabOrder(StoredInteger(Name, Value));
  else if (Name == "Tag")
    SetTag(StoredInteger(Name, Value));
  else
    return false;
  return true;
}

int StoredInteger(const std::string& Name, const std::string& Value) {
  int number = 0;
  const auto [end, error] = std::from_chars(Value.data(), Value.data() + Value.size(), number);
  if (error != std::errc() || end != Value.data() + Value.size() || Value.empty())
    throw Exception("Invalid property value " + Name + " = '" + Value + "'");
  return number;
}

bool StoredBoolean(const std::string& Name, const std::string& Value) {
  if (Value == "True") return true;
  if (Value == "False") return false;
  throw Exception("Invalid property value " + Name + " = '" + Value + "'");
}

void LoadStoredProperties(TControl& Control, const std::vector<TStoredProperty>& Properties) {
  Control.Loading();
  try {
    for (const TStoredProperty& property : Properties)
      if (!Control.ReadProperty(property.Name, property.Value))
        throw Exception("Property " + property.Name + " does not exist");
  } catch (...) {
    Control.Loaded();
    throw;
  }
  Control.Loaded();
}
