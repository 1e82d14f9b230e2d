// Parts of the module that are loaded only when they are needed: the settings dialog's window
// needs a GUI toolkit that a machine without a screen does not have, so it lives in a part of
// its own beside the module.
#pragma once

#include <string>

namespace platform {

// The address of the C function `symbol` in the part `fileName` that lies in the same folder as
// the code of the module itself; nullptr when the part is not there or cannot be loaded (its
// toolkit missing). A part once loaded stays loaded.
void* FindInPart(const std::string& fileName, const char* symbol);

}  // namespace platform
