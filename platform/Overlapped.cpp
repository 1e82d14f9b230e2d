#include "platform/Overlapped.h"

namespace platform {

void BeginOverlapped(OVERLAPPED* overlapped, Event* event) {
  std::lock_guard lock(Event::Lock());
  overlapped->Internal = STATUS_PENDING;
  overlapped->InternalHigh = 0;
  if (event) event->ResetLocked();
}

void CompleteOverlapped(OVERLAPPED* overlapped, Event* event, DWORD error, DWORD bytes) {
  std::lock_guard lock(Event::Lock());
  overlapped->Internal = error;
  overlapped->InternalHigh = bytes;
  if (event) event->SetLocked();
}

OverlappedState ReadOverlapped(const OVERLAPPED* overlapped) {
  std::lock_guard lock(Event::Lock());
  return {overlapped->Internal == STATUS_PENDING, static_cast<DWORD>(overlapped->Internal),
          static_cast<DWORD>(overlapped->InternalHigh)};
}

}  // namespace platform
