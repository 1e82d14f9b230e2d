#include "tools/lcdhost/ModuleHost.h"

#include <dlfcn.h>
#include <poll.h>

#include <chrono>
#include <stdexcept>

ModuleHost::ModuleHost(const std::string& path) {
  // Kept mapped after dlclose: the module keeps a few process-wide objects (its backend, its
  // main-thread queue) for as long as the process runs.
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (!handle_) throw std::runtime_error(std::string("cannot load the module: ") + dlerror());
  auto getHardware = reinterpret_cast<HostInfoRecord* (*)()>(dlsym(handle_, "getHardware"));
  if (!getHardware) throw std::runtime_error("the module has no getHardware");
  record_ = getHardware();
  checkSynchronize_ = reinterpret_cast<TCheckSynchronizeProc>(dlsym(handle_, CheckSynchronizeSymbol));
  if (auto wakeHandle = reinterpret_cast<TWakeHandleProc>(dlsym(handle_, WakeHandleSymbol)))
    wakeFd_ = static_cast<int>(wakeHandle());
}

ModuleHost::~ModuleHost() {
  if (handle_) dlclose(handle_);
}

bool ModuleHost::Serve(int milliseconds, const volatile bool* stop) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    if (stop && *stop) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return true;
    pollfd pfd{wakeFd_, POLLIN, 0};
    // Sleeps until the module hands work over or the time is up; a signal ends the sleep early.
    if (poll(&pfd, wakeFd_ >= 0 ? 1 : 0, static_cast<int>(left)) > 0 && checkSynchronize_) checkSynchronize_(0);
  }
}
