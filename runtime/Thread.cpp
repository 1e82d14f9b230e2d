#include "runtime/Thread.h"

#include <memory>

#include "platform/ThreadControl.h"
#include "runtime/MainThread.h"

namespace {

platform::ThreadPriority SystemPriority(TThreadPriority priority) {
  switch (priority) {
    case tpIdle: return platform::ThreadPriority::Idle;
    case tpLowest: return platform::ThreadPriority::Lowest;
    case tpLower: return platform::ThreadPriority::BelowNormal;
    case tpHigher: return platform::ThreadPriority::AboveNormal;
    case tpHighest: return platform::ThreadPriority::Highest;
    case tpTimeCritical: return platform::ThreadPriority::TimeCritical;
    default: return platform::ThreadPriority::Normal;
  }
}

}  // namespace

TThread::TThread() : FHandle([this] { Run(); }) {}

TThread::~TThread() {
  WaitFor();
  FHandle.Join();
}

void TThread::Resume() {
  {
    std::lock_guard lock(FMutex);
    FStarted = true;
  }
  FChanged.notify_all();
}

void TThread::SetPriority(TThreadPriority Value) { FPriority.store(Value); }

std::exception_ptr TThread::FatalException() const {
  std::lock_guard lock(FMutex);
  return FFatalException;
}

void TThread::Run() noexcept {
  bool abandoned;
  {
    std::unique_lock lock(FMutex);
    FChanged.wait(lock, [this] { return FStarted || FAbandoned; });
    abandoned = FAbandoned;
  }
  if (!abandoned) {
    if (FPriority.load() != tpNormal) platform::SetCurrentThreadPriority(SystemPriority(FPriority.load()));
    try {
      Execute();
    } catch (...) {
      std::lock_guard lock(FMutex);
      FFatalException = std::current_exception();
    }
  }
  {
    std::lock_guard lock(FMutex);
    FFinished.store(true);
  }
  FChanged.notify_all();
  TMainThreadQueue::Instance().Notify();
}

void TThread::WaitFor() {
  {
    // A thread that was never resumed has nothing to wait for: it ends without its body.
    std::lock_guard lock(FMutex);
    if (!FStarted) FAbandoned = true;
  }
  FChanged.notify_all();
  if (IsMainThread()) {
    TMainThreadQueue::Instance().ServeUntil([this] { return FFinished.load(); });
    return;
  }
  std::unique_lock lock(FMutex);
  FChanged.wait(lock, [this] { return FFinished.load(); });
}

void TThread::Synchronize(const std::function<void()>& Method) {
  if (IsMainThread()) {
    Method();
    return;
  }
  struct Call {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::exception_ptr error;
  };
  auto call = std::make_shared<Call>();
  TMainThreadQueue::Instance().Post([call, &Method] {
    try {
      Method();
    } catch (...) {
      call->error = std::current_exception();
    }
    {
      std::lock_guard lock(call->mutex);
      call->finished = true;
    }
    call->done.notify_one();
  });
  std::unique_lock lock(call->mutex);
  call->done.wait(lock, [&] { return call->finished; });
  if (call->error) std::rethrow_exception(call->error);
}
