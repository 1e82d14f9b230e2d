// The settings dialog's window as a part of its own (QuorvelDialog.so), which the module loads
// only when it shows the dialog on a screen: the module itself needs no GUI toolkit.
#pragma once

// The part's file, beside the module's.
inline constexpr const char* DialogPartFile = "QuorvelDialog.so";

class TFormRunner;

// The part's one entry: a new window runner, which the caller deletes. Module and part come
// from the same build, so the runner crosses between them as a C++ object.
inline constexpr const char* DialogPartEntry = "quorvel_new_window_runner";
extern "C" {
using TNewWindowRunnerProc = TFormRunner* (*)();
}
