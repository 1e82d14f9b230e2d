#include "tools/lcdhost/ModuleHost.h"

#include <dlfcn.h>

#include <stdexcept>

#include "tools/lcdhost/QueueServing.h"

ModuleHost::ModuleHost(const std::string& path) {
  // Kept mapped after dlclose: the module keeps a few process-wide objects (its backend, its
  // main-thread queue) for as long as the process runs.
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (!handle_) throw std::runtime_error(std::string("cannot load the module: ") + dlerror());
  auto getHardware = reinterpret_cast<HostInfoRecord* (*)()>(dlsym(handle_, "getHardware"));
  if (!getHardware) throw std::runtime_error("the module has no getHardware");
  record_ = getHardware();
  checkSynchronize_ = reinterpret_cast<int (*)(int)>(dlsym(handle_, "quorvel_check_synchronize"));
  if (auto wakeHandle = reinterpret_cast<intptr_t (*)()>(dlsym(handle_, "quorvel_wake_handle")))
    wakeHandle_ = wakeHandle();
}

ModuleHost::~ModuleHost() {
  if (handle_) dlclose(handle_);
}

bool ModuleHost::Serve(int milliseconds, const volatile bool* stop) {
  return ServeQueue(
      wakeHandle_, [this] {
        if (checkSynchronize_) checkSynchronize_(0);
      },
      milliseconds, stop);
}
