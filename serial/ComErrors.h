// EComPort: the serial component's exception, numbered from its error table.
#pragma once

#include <cstdint>

#include "runtime/Exception.h"

// Error numbers, in the order of the table.
enum : std::int32_t {
  CError_OpenFailed = 1,
  CError_WriteFailed,
  CError_ReadFailed,
  CError_InvalidAsync,
  CError_PurgeFailed,
  CError_AsyncCheck,
  CError_SetStateFailed,
  CError_TimeoutsFailed,
  CError_SetupComFailed,
  CError_ClearComFailed,
  CError_ModemStatFailed,
  CError_EscapeComFailed,
  CError_TransmitFailed,
  CError_ConnChangeProp,
  CError_EnumPortsFailed,
  CError_StoreFailed,
  CError_LoadFailed,
  CError_RegFailed,
  CError_LedStateFailed,
  CError_ThreadCreated,
  CError_WaitFailed,
  CError_HasLink,
  CError_RegError,
};

class QUORVEL_API EComPort : public Exception {
 public:
  // The component's own failure: WinErrorCode is -1 and the message is the table text.
  explicit EComPort(std::int32_t AErrorNumber);
  // A failed system call: the table text followed by " (win error code: N)".
  EComPort(std::int32_t AErrorNumber, std::int32_t AWinErrorCode);

  std::int32_t WinErrorCode() const noexcept { return FWinErrorCode; }
  std::int32_t ErrorNumber() const noexcept { return FErrorNumber; }

 private:
  std::int32_t FWinErrorCode;
  std::int32_t FErrorNumber;
};

// The table text of an error number; an empty text for a number outside the table.
const char* ComErrorMessage(std::int32_t ErrorNumber);
