// A TThread whose body a test gives as a function; its destructor waits for the body.
#pragma once

#include <functional>

#include "runtime/Thread.h"

class Worker : public TThread {
 public:
  explicit Worker(std::function<void(Worker&)> body) : body_(std::move(body)) {}
  ~Worker() override { WaitFor(); }
  using TThread::Synchronize;

 protected:
  void Execute() override { body_(*this); }

 private:
  std::function<void(Worker&)> body_;
};
