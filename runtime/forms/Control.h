// The base of the form framework's controls, as a model: state only, no drawing. A runner
// (a real window, a terminal form, a test script) shows it and feeds the user's actions back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runtime/Component.h"

struct TFont {
  std::string Name = "MS Sans Serif";
  int Height = -11;  // negative: character height in pixels at 96 dpi
  bool Bold = false;
  std::string Charset = "DEFAULT_CHARSET";
  std::string Color = "clWindowText";
};

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* AOwner) : TComponent(AOwner) {}
  ~TControl() override;

  // The control this one sits on; positions are relative to its client area.
  TControl* Parent() const { return FParent; }
  void SetParent(TControl* Value);
  const std::vector<TControl*>& Controls() const { return FControls; }

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  // Windows-1251 text.
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) { FCaption = Value; }
  const std::string& Color() const { return FColor; }
  void SetColor(const std::string& Value) { FColor = Value; }
  // The control's own font once one of its properties was set, else its parent's.
  TFont Font() const;
  TFont& OwnFont();
  bool ParentFont() const { return !FFont.has_value(); }

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
  TControl* FParent = nullptr;
  std::vector<TControl*> FControls;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  std::string FCaption;
  std::string FColor = "clBtnFace";
  std::optional<TFont> FFont;
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

// Raises Exception for a stored value that cannot be read.
[[noreturn]] void InvalidStoredValue(const std::string& Name, const std::string& Value);
// Stored values: integers in decimal, Booleans as True/False. Both raise Exception for text
// they cannot read.
int StoredInteger(const std::string& Name, const std::string& Value);
bool StoredBoolean(const std::string& Name, const std::string& Value);
// One of the given names, as its index; raises Exception for any other text.
template <std::size_t N>
int StoredChoice(const std::string& Name, const std::string& Value, const char* const (&Choices)[N]) {
  for (std::size_t i = 0; i < N; ++i)
    if (Value == Choices[i]) return static_cast<int>(i);
  InvalidStoredValue(Name, Value);
}
