// The application object's exception reporting: HandleException reports the exception being
// handled without letting it propagate. The reporter writes to standard error unless a host
// installs its own.
#pragma once

#include <exception>
#include <functional>
#include <mutex>

#include "runtime/Object.h"

class TApplication {
 public:
  using Reporter = std::function<void(TObject* Sender, std::exception_ptr Error)>;

  // Call from inside a catch block; outside one it does nothing. Never throws.
  void HandleException(TObject* Sender) noexcept;
  // Installs a reporter (an empty one restores the default) and returns the one it replaces.
  Reporter SetReporter(Reporter reporter);

 private:
  std::mutex mutex_;
  Reporter reporter_;
};

TApplication& Application();
