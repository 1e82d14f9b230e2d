#include "platform/SystemThread.h"

#include <pthread.h>

#include <memory>
#include <system_error>

namespace platform {

namespace {
void* RunBody(void* argument) {
  std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(argument));
  (*body)();
  return nullptr;
}
}  // namespace

SystemThread::SystemThread(std::function<void()> body) {
  auto owned = std::make_unique<std::function<void()>>(std::move(body));
  pthread_t thread;
  if (const int error = pthread_create(&thread, nullptr, &RunBody, owned.get()); error != 0)
    throw std::system_error(error, std::generic_category(), "cannot start a thread");
  owned.release();  // the thread frees it
  handle_ = static_cast<std::uintptr_t>(thread);
  joinable_ = true;
}

SystemThread::~SystemThread() { Join(); }

void SystemThread::Join() {
  if (!joinable_) return;
  joinable_ = false;
  pthread_join(static_cast<pthread_t>(handle_), nullptr);
}

}  // namespace platform
