// The port-selection controls' header for the rest of the system.
#pragma once

#include "serial_controls/ComComboBox.h"
#include "serial_controls/ComSelect.h"

// Makes the port controls known to the stored-form loader.
void RegisterPortControls();
