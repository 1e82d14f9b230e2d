// lcdhost's long-running mode: fills the display from its configuration at every refresh until
// a stop is asked for; keeps going when the adapter is pulled, trying again with back-off until
// it returns; sleeps between refreshes. Progress and failures are one line each on standard
// error.
#pragma once

#include "tools/lcdhost/DisplayConfig.h"
#include "tools/lcdhost/ModuleHost.h"

// Calls InitHardware first and DoneHardware last; returns once `stop` is set.
void ShowUntilStopped(ModuleHost& host, const DisplayConfig& config, const volatile bool* stop);
