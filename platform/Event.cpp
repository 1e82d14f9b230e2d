#include "platform/Event.h"

#include <algorithm>
#include <chrono>
#include <optional>

namespace platform {

std::mutex& Event::Lock() {
  static std::mutex lock;
  return lock;
}

void Event::SetLocked() {
  signalled_.store(true, std::memory_order_release);
  for (Waiter* waiter : waiters_) {
    if (waiter->wakeFd >= 0)
      SignalWakeFd(waiter->wakeFd);
    else
      waiter->wake.notify_one();
  }
}

void Event::Set() {
  std::lock_guard lock(Lock());
  SetLocked();
}

void Event::Reset() {
  std::lock_guard lock(Lock());
  signalled_.store(false, std::memory_order_relaxed);
}

bool Event::IsSet() const {
  return signalled_.load(std::memory_order_acquire);
}

bool Event::TryTake() {
  if (!signalled_.load(std::memory_order_relaxed)) return false;
  if (!manualReset_) signalled_.store(false, std::memory_order_relaxed);
  return true;
}

DWORD Event::Wait(const std::shared_ptr<Event>* first, std::size_t count, bool waitAll, DWORD milliseconds) {
  struct Range {
    const std::shared_ptr<Event>* b;
    const std::shared_ptr<Event>* e;
    const std::shared_ptr<Event>* begin() const { return b; }
    const std::shared_ptr<Event>* end() const { return e; }
    std::size_t size() const { return static_cast<std::size_t>(e - b); }
    const std::shared_ptr<Event>& operator[](std::size_t i) const { return b[i]; }
  } events{first, first + count};
  // The most common wait of all, for a transfer that finished at once, takes no lock.
  if (count == 1 && first[0]->manualReset_ && first[0]->signalled_.load(std::memory_order_acquire))
    return WAIT_OBJECT_0;
  using Clock = std::chrono::steady_clock;
  // Only a limited wait that has to block needs the clock.
  const bool limited = milliseconds != 0 && milliseconds != INFINITE;
  const auto deadline = limited ? Clock::now() + std::chrono::milliseconds(milliseconds) : Clock::time_point{};
  std::unique_lock lock(Lock());
  // The result once the wait is satisfied, with the events it takes taken.
  auto satisfied = [&]() -> std::optional<DWORD> {
    if (waitAll) {
      if (!std::all_of(events.begin(), events.end(), [](const auto& e) { return e->signalled_.load(std::memory_order_relaxed); })) return std::nullopt;
      for (const auto& event : events) event->TryTake();
      return WAIT_OBJECT_0;
    }
    for (std::size_t i = 0; i < events.size(); ++i)
      if (events[i]->TryTake()) return WAIT_OBJECT_0 + static_cast<DWORD>(i);
    return std::nullopt;
  };
  // Most waits find their event signalled: they need no waiter at all.
  if (const auto result = satisfied()) return *result;
  Waiter waiter;
  bool registered = false;
  auto unregister = [&] {
    if (!registered) return;
    for (const auto& event : events) {
      auto& list = event->waiters_;
      list.erase(std::remove(list.begin(), list.end(), &waiter), list.end());
    }
    registered = false;
  };
  for (;;) {
    if (const auto result = satisfied()) {
      unregister();
      return *result;
    }
    if (milliseconds == 0) {
      unregister();
      return WAIT_TIMEOUT;
    }
    std::shared_ptr<EventServer> server;
    for (const auto& event : events)
      if ((server = event->server_.lock())) break;
    waiter.wakeFd = server ? ThreadWakeFd() : -1;
    if (waiter.wakeFd < 0) server.reset();
    if (!registered) {
      for (const auto& event : events) event->waiters_.push_back(&waiter);
      registered = true;
    }
    int left = -1;
    if (milliseconds != INFINITE) {
      const auto remaining = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      left = remaining > 0 ? static_cast<int>(remaining) : 0;
    }
    if (server) {
      // Serve the device until it (or anyone) signals one of the events.
      lock.unlock();
      server->Serve(waiter.wakeFd, left);
      DrainWakeFd(waiter.wakeFd);
      lock.lock();
      if (left == 0) milliseconds = 0;
    } else if (milliseconds == INFINITE) {
      waiter.wake.wait(lock);
    } else if (waiter.wake.wait_until(lock, deadline) == std::cv_status::timeout) {
      milliseconds = 0;  // one last look, then report the time-out
    }
  }
}

}  // namespace platform
