#include "platform/Overlapped.h"

#include <atomic>

namespace platform {

namespace {
// The status field is what a reader looks at first: it is stored last, with release, so a
// reader that sees a final status also sees the byte count stored before it.
std::atomic_ref<ULONG_PTR> Status(OVERLAPPED* overlapped) { return std::atomic_ref<ULONG_PTR>(overlapped->Internal); }
std::atomic_ref<ULONG_PTR> Bytes(OVERLAPPED* overlapped) { return std::atomic_ref<ULONG_PTR>(overlapped->InternalHigh); }
}  // namespace

void BeginOverlapped(OVERLAPPED* overlapped, Event* event) {
  std::lock_guard lock(Event::Lock());
  Bytes(overlapped).store(0, std::memory_order_relaxed);
  Status(overlapped).store(STATUS_PENDING, std::memory_order_release);
  if (event) event->ResetLocked();
}

void CompleteOverlapped(OVERLAPPED* overlapped, Event* event, DWORD error, DWORD bytes) {
  std::lock_guard lock(Event::Lock());
  Bytes(overlapped).store(bytes, std::memory_order_relaxed);
  Status(overlapped).store(error, std::memory_order_release);
  if (event) event->SetLocked();
}

OverlappedState ReadOverlapped(const OVERLAPPED* overlapped) {
  // Reading takes no lock: a completion publishes its fields in order (see Status).
  auto* record = const_cast<OVERLAPPED*>(overlapped);
  const ULONG_PTR status = Status(record).load(std::memory_order_acquire);
  return {status == STATUS_PENDING, static_cast<DWORD>(status),
          static_cast<DWORD>(Bytes(record).load(std::memory_order_relaxed))};
}

}  // namespace platform
