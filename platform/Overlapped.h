// The completion fields of an OVERLAPPED record, written by whichever thread completes the
// transfer and read by GetOverlappedResult; a completion stores them and signals its event under
// the event lock, and a reader needs no lock.
#pragma once

#include "platform/Event.h"

namespace platform {

// The transfer is running: result pending, its event (if any) reset.
void BeginOverlapped(OVERLAPPED* overlapped, Event* event);
// The transfer has ended with `error` (ERROR_SUCCESS or a system code) after `bytes` bytes;
// its event is signalled in the same step.
void CompleteOverlapped(OVERLAPPED* overlapped, Event* event, DWORD error, DWORD bytes);

struct OverlappedState {
  bool pending;
  DWORD error;
  DWORD bytes;
};
OverlappedState ReadOverlapped(const OVERLAPPED* overlapped);

}  // namespace platform
