#include "plugin/WindowFormRunner.h"

#include "platform/Interaction.h"
#include "runtime/forms/qt/QtFormRunner.h"

std::unique_ptr<TFormRunner> OpenWindowFormRunner() {
  if (!platform::DisplayReachable()) return nullptr;
  return std::make_unique<TQtFormRunner>();
}
