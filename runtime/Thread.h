// A worker thread of the component runtime: created suspended (a derived class calls Resume
// once it is fully built), its body Execute. Synchronize runs a method on the main thread while the worker waits. An exception
// that ends Execute is kept (FatalException) instead of ending the process.
#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>

#include "platform/SystemThread.h"
#include "runtime/ThreadPriority.h"

class TThread {
 public:
  TThread();
  // Waits for the body to return. A derived class whose body uses its own members must call
  // WaitFor in its own destructor, before those members go.
  virtual ~TThread();
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  void Resume();
  void Terminate() { FTerminated.store(true); }
  bool Terminated() const { return FTerminated.load(); }
  TThreadPriority Priority() const { return FPriority.load(); }
  void SetPriority(TThreadPriority Value);
  // Returns once the body has returned; a thread never resumed ends without running it. On
  // the main thread it keeps serving the main-thread
  // queue meanwhile, so a body waiting in Synchronize can finish.
  void WaitFor();
  bool Finished() const { return FFinished.load(); }
  std::exception_ptr FatalException() const;

 protected:
  virtual void Execute() = 0;
  // Runs Method on the main thread and returns when it has; its exception is raised again
  // here. Called on the main thread, it runs Method directly.
  void Synchronize(const std::function<void()>& Method);

 private:
  void Run() noexcept;

  mutable std::mutex FMutex;
  std::condition_variable FChanged;
  bool FStarted = false;
  bool FAbandoned = false;
  std::atomic<bool> FTerminated{false};
  std::atomic<bool> FFinished{false};
  std::atomic<TThreadPriority> FPriority{tpNormal};
  std::exception_ptr FFatalException;
  platform::SystemThread FHandle;  // last: the thread starts once everything above exists
};
