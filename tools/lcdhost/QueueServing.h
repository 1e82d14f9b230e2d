// Serving a main-thread queue of the component runtime (the module's, or the host's own)
// while the host waits.
#pragma once

#include <functional>

// Waits up to `milliseconds` (or until `stop` says so), running the queue's hand-overs with
// `runQueued` as they arrive: it sleeps on `wakeFd` until work is queued. False when `stop`
// ended the wait.
bool ServeQueue(int wakeFd, const std::function<void()>& runQueued, int milliseconds, const volatile bool* stop);
