#include "plugin/WindowFormRunner.h"

#include "platform/Interaction.h"
#include "runtime/forms/win32/Win32FormRunner.h"

std::unique_ptr<TFormRunner> OpenWindowFormRunner() {
  if (!platform::DisplayReachable()) return nullptr;
  return std::make_unique<TWin32FormRunner>();
}
