// Win32 events in-process: manual- and auto-reset, waited for singly or several at once.
// Setting, resetting and waiting on a signalled event make no system call.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/KernelObjects.h"

namespace platform {

class Event final : public KernelObject {
 public:
  Event(bool manualReset, bool initialState) : manualReset_(manualReset), signalled_(initialState) {}

  void Set();
  void Reset();
  bool IsSet() const;

  // WaitForMultipleObjects on events: WAIT_OBJECT_0 + index (the lowest signalled one when
  // bWaitAll is false), or WAIT_TIMEOUT.
  static DWORD Wait(const std::vector<std::shared_ptr<Event>>& events, bool waitAll, DWORD milliseconds);

  // One lock guards every event and every OVERLAPPED record's completion fields, so that a
  // completion stores its result and signals its event in one step.
  static std::mutex& Lock();
  // Set and Reset for a caller that holds Lock().
  void SetLocked();
  void ResetLocked() { signalled_ = false; }

 private:
  struct Waiter {
    std::condition_variable wake;
  };
  bool TryTake();  // with Lock() held

  const bool manualReset_;
  bool signalled_;
  std::vector<Waiter*> waiters_;
};

}  // namespace platform
