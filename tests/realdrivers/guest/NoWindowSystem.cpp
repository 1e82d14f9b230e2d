// The bench's machine has no window system and no Qt. There the settings dialog is shown only
// by a test's own form runner; this stands in for the Qt runner at link time.
#include "plugin/DialogRunner.h"
#include "runtime/forms/qt/QtFormRunner.h"

TModalResult TQtFormRunner::ShowModal(TForm&) { throw EDialogUnavailable("the bench's machine has no window system"); }
