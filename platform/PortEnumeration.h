// The serial ports the system has installed, as plain names a port can be opened by.
#pragma once

#include <string>
#include <vector>

#include "platform/Win32Types.h"

namespace platform {

// Where the names come from on Linux; empty members mean the system's own folders
// (/sys/class/tty and the user's port-alias folder).
struct PortSources {
  std::string ttyClassFolder;
  std::string aliasFolder;
};

// The folders that ListSerialPorts reads when it is given none (empty members: the system's).
void SetDefaultPortSources(const PortSources& sources);

// Appends the names in no particular order: each kernel serial device backed by hardware
// (ttyUSB0, ttyACM0; legacy ttyS ports only where a UART answers) and each COMn alias whose
// device exists. ERROR_SUCCESS, or the code of the failure that left the list incomplete.
DWORD ListSerialPorts(std::vector<std::string>& names);
DWORD ListSerialPorts(std::vector<std::string>& names, const PortSources& sources);

}  // namespace platform
