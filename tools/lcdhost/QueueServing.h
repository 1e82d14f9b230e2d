// Serving a main-thread queue of the component runtime (the module's, or the host's own)
// while the host waits.
#pragma once

#include <cstdint>
#include <functional>

// Waits up to `milliseconds` (or until `stop` says so), running the queue's hand-overs with
// `runQueued` as they arrive: it sleeps on `wakeHandle` (Linux: a descriptor to poll; Windows:
// an event, while the thread's messages are dispatched) until work is queued. False when `stop`
// ended the wait.
bool ServeQueue(std::intptr_t wakeHandle, const std::function<void()>& runQueued, int milliseconds,
                const volatile bool* stop);
