#include "runtime/forms/Control.h"

#include <algorithm>
#include <charconv>

#include "runtime/Exception.h"

TControl::~TControl() {
  SetParent(nullptr);
  for (TControl* child : std::vector<TControl*>(FControls)) child->FParent = nullptr;
}

void TControl::SetParent(TControl* Value) {
  if (FParent == Value) return;
  if (FParent) {
    auto& siblings = FParent->FControls;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  FParent = Value;
  if (FParent) FParent->FControls.push_back(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
}

TFont TControl::Font() const {
  if (FFont) return *FFont;
  return FParent ? FParent->Font() : TFont{};
}

TFont& TControl::OwnFont() {
  if (!FFont) FFont = Font();
  return *FFont;
}

bool TControl::ReadProperty(const std::string& Name, const std::string& Value) {
  if (Name == "Name") SetName(Value);
  else if (Name == "Left") FLeft = StoredInteger(Name, Value);
  else if (Name == "Top") FTop = StoredInteger(Name, Value);
  else if (Name == "Width") FWidth = StoredInteger(Name, Value);
  else if (Name == "Height") FHeight = StoredInteger(Name, Value);
  else if (Name == "Caption") SetCaption(Value);
  else if (Name == "Color") SetColor(Value);
  else if (Name == "Font.Name") OwnFont().Name = Value;
  else if (Name == "Font.Height") OwnFont().Height = StoredInteger(Name, Value);
  else if (Name == "Font.Style") {
    if (Value != "[]" && Value != "[fsBold]") InvalidStoredValue(Name, Value);
    OwnFont().Bold = Value == "[fsBold]";
  } else if (Name == "Font.Charset") OwnFont().Charset = Value;
  else if (Name == "Font.Color") OwnFont().Color = Value;
  else if (Name == "Enabled") SetEnabled(StoredBoolean(Name, Value));
  else if (Name == "Visible") SetVisible(StoredBoolean(Name, Value));
  else if (Name == "TabOrder") SetTabOrder(StoredInteger(Name, Value));
  else if (Name == "Tag") SetTag(StoredInteger(Name, Value));
  else return false;
  return true;
}

void InvalidStoredValue(const std::string& Name, const std::string& Value) {
  throw Exception("Invalid property value " + Name + " = '" + Value + "'");
}

int StoredInteger(const std::string& Name, const std::string& Value) {
  int number = 0;
  const auto [end, error] = std::from_chars(Value.data(), Value.data() + Value.size(), number);
  if (error != std::errc() || end != Value.data() + Value.size() || Value.empty()) InvalidStoredValue(Name, Value);
  return number;
}

bool StoredBoolean(const std::string& Name, const std::string& Value) {
  if (Value == "True") return true;
  if (Value == "False") return false;
  InvalidStoredValue(Name, Value);
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
