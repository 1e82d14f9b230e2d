// The main-thread queue under C names, for hosts in any language.
#include "plugin/HostInterface.h"
#include "runtime/Application.h"
#include "runtime/MainThread.h"

int quorvel_check_synchronize(int timeout_ms) {
  // Nothing may unwind into a C caller; the queue's work reports its own failures, so this is
  // only the last guard.
  try {
    return CheckSynchronize(timeout_ms) ? 1 : 0;
  } catch (...) {
    Application().HandleException(nullptr);
    return 1;
  }
}

intptr_t quorvel_wake_handle(void) { return MainThreadWakeHandle(); }
