// A container drawn with an inner and an outer bevel.
#pragma once

#include "runtime/forms/Control.h"

enum TPanelBevel : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TControl {
 public:
  explicit TPanel(TComponent* AOwner) : TControl(AOwner) {}

  TPanelBevel BevelInner() const { return FBevelInner; }
  TPanelBevel BevelOuter() const { return FBevelOuter; }
  void SetBevelInner(TPanelBevel Value) { FBevelInner = Value; }
  void SetBevelOuter(TPanelBevel Value) { FBevelOuter = Value; }

  bool ReadProperty(const std::string& Name, const std::string& Value) override;

 private:
  TPanelBevel FBevelInner = bvNone;
  TPanelBevel FBevelOuter = bvRaised;
};
