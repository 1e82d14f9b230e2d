// A loaded display module, as a host sees it: the record, the callbacks, and the module's
// main-thread queue, which the host serves while it waits (posix/ or win32/ loads it).
#pragma once

#include <cstdint>
#include <string>

#include "plugin/HostInterface.h"

class ModuleHost {
 public:
  // Loads the module and calls getHardware; raises std::runtime_error when it cannot.
  explicit ModuleHost(const std::string& path);
  ~ModuleHost();
  ModuleHost(const ModuleHost&) = delete;
  ModuleHost& operator=(const ModuleHost&) = delete;

  HostInfoRecord& Record() { return *record_; }
  TLCDBaseControl* Control() { return record_->Control; }
  // Waits up to `milliseconds` (or until `stop` says so), running the module's hand-overs as
  // they arrive. False when `stop` ended the wait.
  bool Serve(int milliseconds, const volatile bool* stop = nullptr);

 private:
  void* handle_ = nullptr;
  HostInfoRecord* record_ = nullptr;
  int (*checkSynchronize_)(int) = nullptr;
  std::intptr_t wakeHandle_ = -1;  // the module's quorvel_wake_handle (-1: none)
};
