// What the reference host needs of its operating system: its command line, the module's
// default place and a Ctrl+C that ends its waits (posix/ or win32/, as the build picks).
#pragma once

#include <string>
#include <vector>

// The command line's words after the program's name, in UTF-8 (Windows hands main() its
// arguments in the ANSI code page, which may lack the text's letters).
std::vector<std::string> Arguments(int argc, char** argv);
// Installed beside its host, or in the build folder.
std::string DefaultModulePath();
// SIGINT and SIGTERM (Windows: Ctrl+C and Ctrl+Break) set *flag, and a wait of the host's
// (ServeQueue) ends soon after.
void OnInterrupt(volatile bool* flag);
