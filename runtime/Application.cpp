#include "runtime/Application.h"

#include <cstdio>

#include "runtime/Exception.h"

TApplication& Application() {
  static TApplication application;
  return application;
}

void TApplication::HandleException(TObject* Sender) noexcept {
  std::exception_ptr error = std::current_exception();
  if (!error) return;
  Reporter reporter;
  {
    std::lock_guard lock(mutex_);
    reporter = reporter_;
  }
  try {
    if (reporter) {
      reporter(Sender, error);
      return;
    }
    std::fprintf(stderr, "Exception: %s\n", ExceptionMessage(error).c_str());
  } catch (...) {
    // A reporter that fails must not turn a reported error into a crash.
    std::fprintf(stderr, "Exception while reporting an exception: %s\n",
                 ExceptionMessage(std::current_exception()).c_str());
  }
}

TApplication::Reporter TApplication::SetReporter(Reporter reporter) {
  std::lock_guard lock(mutex_);
  std::swap(reporter_, reporter);
  return reporter;
}
