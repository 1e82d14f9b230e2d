#include "platform/Api.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<Api*> installed{nullptr};
thread_local DWORD lastError = ERROR_SUCCESS;
}  // namespace

Api& Current() {
  Api* backend = installed.load(std::memory_order_acquire);
  return backend ? *backend : SystemBackend();
}

Api* Install(Api* backend) { return installed.exchange(backend, std::memory_order_acq_rel); }

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD dwErrCode) { lastError = dwErrCode; }

}  // namespace platform
