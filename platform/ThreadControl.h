// Settings of the calling thread that the scheduler and the system's tools see.
#pragma once

#include <cstdint>

namespace platform {

// The seven levels of a thread's priority, as Windows names them (Linux: niceness 19 to -20).
enum class ThreadPriority : std::uint8_t { Idle, Lowest, BelowNormal, Normal, AboveNormal, Highest, TimeCritical };

// Raising a priority without the privilege for it leaves it as it is.
void SetCurrentThreadPriority(ThreadPriority priority);
// The name that the system's tools and debuggers show (Linux keeps at most 15 characters).
void SetCurrentThreadName(const char* name);

}  // namespace platform
