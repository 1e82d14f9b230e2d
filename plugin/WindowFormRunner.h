// The runner that shows the settings dialog as a real window. The build picks its source: on
// Linux the Qt Widgets runner of the dialog's own part, on Windows the native one.
#pragma once

#include <memory>

#include "runtime/forms/Form.h"

// A runner for a real window, or nullptr when none can be had here: no screen, or no part to
// show it with (the caller falls back to the text form on the terminal).
std::unique_ptr<TFormRunner> OpenWindowFormRunner();
