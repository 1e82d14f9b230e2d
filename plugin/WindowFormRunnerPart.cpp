#include "platform/Interaction.h"
#include "platform/Parts.h"
#include "plugin/WindowFormRunner.h"
#include "plugin/dialog/DialogPart.h"

std::unique_ptr<TFormRunner> OpenWindowFormRunner() {
  if (!platform::DisplayReachable()) return nullptr;
  const auto newRunner = reinterpret_cast<TNewWindowRunnerProc>(platform::FindInPart(DialogPartFile, DialogPartEntry));
  return std::unique_ptr<TFormRunner>(newRunner ? newRunner() : nullptr);
}
