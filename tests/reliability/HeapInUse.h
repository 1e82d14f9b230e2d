// The heap the program uses, for soak tests: it must come back to where it was.
#pragma once

#include <malloc.h>

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QUORVEL_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define QUORVEL_SANITIZED 1
#endif
#endif

#ifdef QUORVEL_SANITIZED
// From the sanitizer runtime's allocator interface (its header is not always installed).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

// Bytes the program has allocated and not freed. A sanitizer keeps its own heap (mallinfo
// does not see it) and asks it directly.
inline std::size_t HeapInUse() {
#ifdef QUORVEL_SANITIZED
  return __sanitizer_get_current_allocated_bytes();
#else
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;  // small blocks in the arenas, and large ones mapped apart
#endif
}

// Slack for what the test framework itself allocates meanwhile; a leak of even one byte per
// operation of a soak is far above it.
constexpr std::size_t HeapTolerance = 32 * 1024;
