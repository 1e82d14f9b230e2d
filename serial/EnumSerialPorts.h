// The list of installed serial ports.
#pragma once

#include "runtime/StringList.h"

// Replaces the contents of Ports with the installed port names, sorted as text with ASCII
// letter case ignored. A failure to read the system's list raises EComPort "Registry error"
// with the system's code and leaves Ports as it was.
void EnumSerialPorts(TStringList& Ports);
