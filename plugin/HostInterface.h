// The one header a host includes: the module's export, the record it returns, the display
// control the host drives through the record, and the exceptions the callbacks and the
// control let through (EComPort derives from Exception; what() is the message, Windows-1251).
#pragma once

#include <cstdint>

#include "display/LCDBaseControlUnit.h"
#include "runtime/Exception.h"
#include "runtime/Export.h"
#include "serial/ComErrors.h"

// A lifecycle callback: 0 on success; a failure arrives as an exception.
using THardwareProc = std::int32_t (*)();

struct HostInfoRecord {
  const char* DriverName;
  const char* DriverDescription;  // Windows-1251
  TLCDBaseControl* Control;       // nil until InitHardware, and again after DoneHardware
  THardwareProc InitHardware;
  THardwareProc ConfigureHardware;
  THardwareProc DoneHardware;
};
static_assert(sizeof(HostInfoRecord) == 6 * sizeof(void*));

// The module's single export; the same record on every call.
extern "C" QUORVEL_API HostInfoRecord* getHardware();

// The module's main-thread queue. While the display is active its event thread hands work to
// the thread that loaded the module; a host runs that work by calling CheckSynchronize (from
// its loop, or when WakeHandle, a pollable descriptor, becomes readable). A host that loads
// the module with dlopen finds both with dlsym under these names.
inline constexpr const char* CheckSynchronizeSymbol = "_Z16CheckSynchronizei";
inline constexpr const char* WakeHandleSymbol = "_Z20MainThreadWakeHandlev";
using TCheckSynchronizeProc = bool (*)(int Timeout);
using TWakeHandleProc = std::intptr_t (*)();
