// Win32 events in-process: manual- and auto-reset, waited for singly or several at once.
// Setting, resetting and waiting on a signalled event make no system call.
//
// An event can name a server: the device whose pending operation will signal it. A thread
// that waits on such an event serves the device itself (it waits in the device's poll()
// rather than on a condition variable), so the device needs no thread of its own to notice
// what it is waiting for.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/KernelObjects.h"

namespace platform {

class EventServer {
 public:
  virtual ~EventServer() = default;
  // One round of the device's work: waits until it has something to do, `wakeFd` becomes
  // readable, or `milliseconds` pass (negative: no limit), and does it.
  virtual void Serve(int wakeFd, int milliseconds) = 0;
};

class Event final : public KernelObject {
 public:
  Event(bool manualReset, bool initialState) : manualReset_(manualReset), signalled_(initialState) {}

  void Set();
  void Reset();
  bool IsSet() const;

  // WaitForMultipleObjects on events: WAIT_OBJECT_0 + index (the lowest signalled one when
  // bWaitAll is false), or WAIT_TIMEOUT.
  static DWORD Wait(const std::shared_ptr<Event>* events, std::size_t count, bool waitAll, DWORD milliseconds);
  static DWORD Wait(const std::vector<std::shared_ptr<Event>>& events, bool waitAll, DWORD milliseconds) {
    return Wait(events.data(), events.size(), waitAll, milliseconds);
  }

  // One lock guards every event and every OVERLAPPED record's completion fields, so that a
  // completion stores its result and signals its event in one step.
  static std::mutex& Lock();
  // Set and Reset for a caller that holds Lock().
  void SetLocked();
  void ResetLocked() { signalled_.store(false, std::memory_order_relaxed); }
  // For a caller that holds Lock(): the device that will signal this event, or none.
  void SetServerLocked(std::weak_ptr<EventServer> server) { server_ = std::move(server); }

 private:
  struct Waiter {
    std::condition_variable wake;
    int wakeFd = -1;  // a waiter that serves a device is woken through this instead
  };
  bool TryTake();  // with Lock() held

  const bool manualReset_;
  // Written only under Lock(); a wait on one manual-reset event that is already signalled reads
  // it without the lock (the store that set it releases what the completion stored before).
  std::atomic<bool> signalled_;
  std::vector<Waiter*> waiters_;
  std::weak_ptr<EventServer> server_;
};

// A pollable wake-up of the calling thread's own, for waits that serve a device.
int ThreadWakeFd();
void SignalWakeFd(int fd);
void DrainWakeFd(int fd);

}  // namespace platform
