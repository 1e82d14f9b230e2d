/* The one header a host includes: the module's export, the record it returns, the module's
   main-thread queue, and, for a host in C++, the display control the host drives through the
   record and the exceptions the callbacks and the control let through (EComPort derives from
   Exception; what() is the message, Windows-1251). A C compiler sees everything but the
   control's operations and the exceptions, which only C++ can call and catch. */
#pragma once

#ifdef __cplusplus
#include <cstdint>

#include "display/LCDBaseControlUnit.h"
#include "runtime/Exception.h"
#include "serial/ComErrors.h"
#define QUORVEL_C_LINKAGE extern "C"
#else
#include <stdint.h>
/* Driven only through its virtual operations, from C++. */
typedef struct TLCDBaseControl TLCDBaseControl;
#define QUORVEL_C_LINKAGE
#endif

#include "runtime/Export.h"

/* A lifecycle callback: 0 on success; a failure arrives as a C++ exception. */
typedef int32_t (*THardwareProc)(void);

typedef struct HostInfoRecord {
  const char* DriverName;
  const char* DriverDescription; /* Windows-1251 */
  TLCDBaseControl* Control;      /* nil until InitHardware, and again after DoneHardware */
  THardwareProc InitHardware;
  THardwareProc ConfigureHardware;
  THardwareProc DoneHardware;
} HostInfoRecord;

/* The module's single export; the same record on every call. */
QUORVEL_C_LINKAGE QUORVEL_API HostInfoRecord* getHardware(void);

/* The module's main-thread queue. While the display is active its event thread hands work to
   the thread that loaded the module; a host runs that work from its own loop, when the wake
   handle (a pollable file descriptor on Linux; on Windows an event, waited for while the thread's
   messages are dispatched) becomes readable. quorvel_check_synchronize
   first waits up to timeout_ms milliseconds for work (0: not at all) and returns 1 when work
   ran. A host that loads the module with dlopen finds both with dlsym by these names. */
QUORVEL_C_LINKAGE QUORVEL_API int quorvel_check_synchronize(int timeout_ms);
QUORVEL_C_LINKAGE QUORVEL_API intptr_t quorvel_wake_handle(void);

#ifdef __cplusplus
static_assert(sizeof(HostInfoRecord) == 6 * sizeof(void*));

// The same queue under its C++ names, as earlier hosts find it.
inline constexpr const char* CheckSynchronizeSymbol = "_Z16CheckSynchronizei";
inline constexpr const char* WakeHandleSymbol = "_Z20MainThreadWakeHandlev";
using TCheckSynchronizeProc = bool (*)(int Timeout);
using TWakeHandleProc = std::intptr_t (*)();
#endif
