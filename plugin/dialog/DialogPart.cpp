#include "plugin/dialog/DialogPart.h"

#include "runtime/Export.h"
#include "runtime/forms/qt/QtFormRunner.h"

extern "C" QUORVEL_API TFormRunner* quorvel_new_window_runner() { return new TQtFormRunner(); }
