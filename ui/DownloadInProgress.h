// The process-wide busy flag: true from "Start Download" until the worker has
// finished its run (after the user closed its last message box). Only the dialog
// thread sets it, after finding it false; the worker clears it when its run is
// over, and the dialog itself when the worker can't be started. The busy
// animation reads it too.
#pragma once

#include <atomic>

extern std::atomic<bool> downloadInProgress;
