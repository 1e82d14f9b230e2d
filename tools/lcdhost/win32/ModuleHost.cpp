#include "tools/lcdhost/ModuleHost.h"

#include <stdexcept>

#include "tools/lcdhost/QueueServing.h"
#include "platform/win32/WindowsHeader.h"

namespace {
std::string SystemMessage(DWORD error) { return "system error " + std::to_string(error); }
}  // namespace

ModuleHost::ModuleHost(const std::string& path) {
  HMODULE module = LoadLibraryA(path.c_str());
  if (!module) throw std::runtime_error("cannot load the module " + path + ": " + SystemMessage(GetLastError()));
  handle_ = module;
  auto getHardware = reinterpret_cast<HostInfoRecord* (*)()>(reinterpret_cast<void*>(GetProcAddress(module, "getHardware")));
  if (!getHardware) throw std::runtime_error("the module has no getHardware");
  record_ = getHardware();
  checkSynchronize_ =
      reinterpret_cast<int (*)(int)>(reinterpret_cast<void*>(GetProcAddress(module, "quorvel_check_synchronize")));
  if (auto wakeHandle = reinterpret_cast<intptr_t (*)()>(reinterpret_cast<void*>(GetProcAddress(module, "quorvel_wake_handle"))))
    wakeHandle_ = wakeHandle();
}

ModuleHost::~ModuleHost() {
  // Left loaded: the module keeps a few process-wide objects (its backend, its main-thread
  // queue, its window class) for as long as the process runs.
}

bool ModuleHost::Serve(int milliseconds, const volatile bool* stop) {
  return ServeQueue(
      wakeHandle_, [this] {
        if (checkSynchronize_) checkSynchronize_(0);
      },
      milliseconds, stop);
}
