// The base of the form framework's controls, as a model: state only, no drawing. A runner
// (a real window, a terminal form, a test script) shows it and feeds the user's actions back.
#pragma once

#include <string>
#include <vector>

#include "runtime/Component.h"

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* AOwner) : TComponent(AOwner) {}

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  int TabOrder() const { return FTabOrder; }
  void SetTabOrder(int Value) { FTabOrder = Value; }

  // One property of stored form data, by name, with its value as text. False for a name the
  // control does not have.
  virtual bool ReadProperty(const std::string& Name, const std::string& Value);

 private:
  bool FEnabled = true;
  bool FVisible = true;
  int FTabOrder = -1;
};

struct TStoredProperty {
  std::string Name;
  std::string Value;
};

// Reads stored properties into a control in the order they are stored (their declaration
// order), between Loading and Loaded. An unknown property or an unreadable value raises
// Exception, naming it.
void LoadStoredProperties(TControl& Control, const std::vector<TStoredProperty>& Properties);

// Stored values: integers in decimal, Booleans as True/False. Both raise Exception for text
// they cannot read.
int StoredInteger(const std::string& Name, const std::string& Value);
bool StoredBoolean(const std::string& Name, const std::string& Value);
