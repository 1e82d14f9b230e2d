#include "serial/ComErrors.h"

#include <array>
#include <string>

namespace {

constexpr std::array<const char*, 23> ErrorMessages = {
    "Unable to open com port",
    "WriteFile function failed",
    "ReadFile function failed",
    "Invalid Async parameter",
    "PurgeComm function failed",
    "Unable to get async status",
    "SetCommState function failed",
    "SetCommTimeouts failed",
    "SetupComm function failed",
    "ClearCommError function failed",
    "GetCommModemStatus function failed",
    "EscapeCommFunction function failed",
    "TransmitCommChar function failed",
    "Cannot set property while connected",
    "EnumPorts function failed",
    "Failed to store settings",
    "Failed to load settings",
    "Link (un)registration failed",
    "Cannot change led state if ComPort is selected",
    "Cannot wait for event if event thread is created",
    "WaitForEvent method failed",
    "A component is linked to OnRxBuf event",
    "Registry error",
};

}  // namespace

const char* ComErrorMessage(std::int32_t ErrorNumber) {
  if (ErrorNumber < 1 || ErrorNumber > static_cast<std::int32_t>(ErrorMessages.size())) return "";
  return ErrorMessages[static_cast<std::size_t>(ErrorNumber - 1)];
}

EComPort::EComPort(std::int32_t AErrorNumber)
    : Exception(ComErrorMessage(AErrorNumber)), FWinErrorCode(-1), FErrorNumber(AErrorNumber) {}

EComPort::EComPort(std::int32_t AErrorNumber, std::int32_t AWinErrorCode)
    : Exception(std::string(ComErrorMessage(AErrorNumber)) + " (win error code: " +
                std::to_string(AWinErrorCode) + ")"),
      FWinErrorCode(AWinErrorCode),
      FErrorNumber(AErrorNumber) {}
