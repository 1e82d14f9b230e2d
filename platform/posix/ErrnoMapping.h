// errno values as the Win32 codes that Windows gives for the same situation.
#pragma once

#include "platform/Win32Types.h"

namespace platform::posix {

// Opening a device: a missing one is 2, a busy or forbidden one 5.
DWORD OpenErrorFromErrno(int error);
// Any later call on an open device: a vanished line is 31, a bad argument 87.
DWORD IoErrorFromErrno(int error);

}  // namespace platform::posix
