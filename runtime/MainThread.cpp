#include "runtime/MainThread.h"

#include <atomic>

namespace {
// Set while the runtime is loaded, which happens on the thread that loads it.
std::atomic<std::thread::id> mainThreadId{std::this_thread::get_id()};
}  // namespace

std::thread::id MainThreadID() { return mainThreadId.load(); }
void SetMainThreadID(std::thread::id Id) { mainThreadId.store(Id); }
bool IsMainThread() { return std::this_thread::get_id() == mainThreadId.load(); }

bool CheckSynchronize(int Timeout) { return TMainThreadQueue::Instance().CheckSynchronize(Timeout); }
std::intptr_t MainThreadWakeHandle() { return TMainThreadQueue::Instance().WakeHandle(); }

TMainThreadQueue& TMainThreadQueue::Instance() {
  // Never destroyed: threads may still hand over work while statics are torn down.
  static auto* queue = new TMainThreadQueue;
  return *queue;
}

void TMainThreadQueue::Post(std::function<void()> Work) {
  std::lock_guard lock(mutex_);
  // One wake-up per batch of work, not per item; signalled under the lock that RunQueued
  // clears it under, so the handle never stays readable over an empty queue.
  if (work_.empty()) waker_.Signal();
  work_.push_back(std::move(Work));
  if (waiting_) attention_.Signal();
}

void TMainThreadQueue::Notify() {
  std::lock_guard lock(mutex_);
  if (waiting_) attention_.Signal();
}

bool TMainThreadQueue::RunQueued() {
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard lock(mutex_);
    if (work_.empty()) return false;
    batch.swap(work_);
    waker_.Clear();
  }
  for (auto& work : batch) work();
  return true;
}

void TMainThreadQueue::WaitForAttention(int milliseconds, const std::function<bool()>* Done) {
  {
    // Looked at under the lock that Post and Notify take, so that no signal falls between the
    // look and the wait.
    std::lock_guard lock(mutex_);
    if (!work_.empty() || (Done && (*Done)())) return;
    ++waiting_;
  }
  attention_.WaitSignalled(milliseconds);
  std::lock_guard lock(mutex_);
  // Whatever signalled it is looked at by the caller next; a later signal sets it again.
  attention_.Clear();
  --waiting_;
}

bool TMainThreadQueue::CheckSynchronize(int Timeout) {
  if (Timeout > 0) WaitForAttention(Timeout, nullptr);
  return RunQueued();
}

void TMainThreadQueue::ServeUntil(const std::function<bool()>& Done) {
  for (;;) {
    RunQueued();
    if (Done()) return;
    WaitForAttention(-1, &Done);
  }
}
