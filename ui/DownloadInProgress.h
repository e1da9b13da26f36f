// The process-wide busy flag: true from "Start Download" until the worker has
// finished its run (after the user closed its last message box). Only the dialog
// thread sets it, after finding it false; only the worker clears it. The busy
// animation reads it too.
#pragma once

#include <atomic>

extern std::atomic<bool> downloadInProgress;
