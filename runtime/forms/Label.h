// A static caption.
#pragma once

#include "runtime/forms/Control.h"

class TLabel : public TControl {
 public:
  explicit TLabel(TComponent* AOwner) : TControl(AOwner) {}
};
