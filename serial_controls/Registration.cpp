#include "runtime/forms/StoredForm.h"
#include "serial_controls/CPortCtl.h"

void RegisterPortControls() {
  RegisterControlClass("TComComboBox", [](TComponent* owner) -> TControl* { return new TComComboBox(owner); });
}
