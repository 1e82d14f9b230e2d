// An object whose values can be copied into another by Assign; the source decides how
// through AssignTo, and an unsupported pair raises the assignment error.
#pragma once

#include "runtime/Object.h"

class TPersistent : public TObject {
 public:
  virtual void Assign(TPersistent* Source);

 protected:
  virtual void AssignTo(TPersistent* Dest);

 private:
  [[noreturn]] void AssignError(TPersistent* Source);
};
