// Where a Windows-style port name ("\\.\COM3", "ttyUSB0", a path) lives on Linux.
#pragma once

#include <string>

namespace platform::posix {

// The folder that holds the COMn aliases: $XDG_CONFIG_HOME/quorvel/ports, with
// $HOME/.config standing in for an unset XDG_CONFIG_HOME.
std::string PortAliasFolder();

// n for a name "COMn" (any letter case, n from 1, at most four digits), else 0.
int ComPortNumber(const std::string& name);

// The device path for a CreateFileA name. "\\.\" is dropped; a name with a '/' is a path;
// COMn (any letter case) is the alias comn in aliasFolder when there is one, else
// /dev/ttyS<n-1>; any other name is /dev/<name>.
std::string DevicePathForPort(const std::string& name, const std::string& aliasFolder);

}  // namespace platform::posix
