// <windows.h> for the Windows backend's sources. Include it after the project's headers: it
// defines TRUE, INFINITE, ERROR_*, EV_* and the like as macros, which would rewrite the
// platform layer's own names. Its ReplaceFile macro would rename platform::ReplaceFile.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef ReplaceFile
