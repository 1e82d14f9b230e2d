// How the settings dialog is shown: by the runner a host or a test installed; otherwise as a
// real window where a display can be reached, else as a text form on the controlling
// terminal.
#pragma once

#include <memory>

#include "runtime/Exception.h"
#include "runtime/forms/Form.h"

class EDialogUnavailable : public Exception {
 public:
  using Exception::Exception;
};

// Shows the form and returns its modal result; raises EDialogUnavailable when there is no way
// to show it.
TModalResult ShowSettingsDialog(TForm& Form);
