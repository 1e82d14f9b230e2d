#include "runtime/forms/Panel.h"

bool TPanel::ReadProperty(const std::string& Name, const std::string& Value) {
  static const char* const Bevels[] = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
  if (Name == "BevelInner")
    SetBevelInner(static_cast<TPanelBevel>(StoredChoice(Name, Value, Bevels)));
  else if (Name == "BevelOuter")
    SetBevelOuter(static_cast<TPanelBevel>(StoredChoice(Name, Value, Bevels)));
  else
    return TControl::ReadProperty(Name, Value);
  return true;
}
