// Settings of the calling thread that the scheduler and the system's tools see.
#pragma once

namespace platform {

// The thread's priority as the scheduler's niceness; raising a priority without the privilege
// for it leaves it as it is.
void SetCurrentThreadNice(int nice);
// The name that /proc and debuggers show (at most 15 characters are kept).
void SetCurrentThreadName(const char* name);

}  // namespace platform
