// The port-selection controls' header for the rest of the system.
#pragma once

#include "serial_controls/ComComboBox.h"
#include "serial_controls/ComSelect.h"
