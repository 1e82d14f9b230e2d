// The numbered messages of EComPort.
#include <gtest/gtest.h>

#include <string>

#include "serial/ComErrors.h"

namespace {

TEST(ComErrorsTest, EveryNumberHasItsTextWithAndWithoutASystemCode) {
  const char* texts[] = {
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
  for (int number = 1; number <= 23; ++number) {
    SCOPED_TRACE(number);
    const std::string text = texts[number - 1];
    const EComPort own(number);
    EXPECT_EQ(own.ErrorNumber(), number);
    EXPECT_EQ(own.WinErrorCode(), -1);
    EXPECT_EQ(own.Message(), text);
    const EComPort system(number, 2);
    EXPECT_EQ(system.ErrorNumber(), number);
    EXPECT_EQ(system.WinErrorCode(), 2);
    EXPECT_EQ(system.Message(), text + " (win error code: 2)");
    EXPECT_STREQ(system.what(), system.Message().c_str());
  }
  EXPECT_EQ(EComPort(2, -2).Message(), "WriteFile function failed (win error code: -2)") << "a signed number";
}

}  // namespace
