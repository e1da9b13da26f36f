// One firmware update of the embosser, from service mode to the result message.
#pragma once

#include <atomic>
#include <string>

#include "update/FirmwareSources.h"
#include "update/DialogRequests.h"
#include "update/UpdateServices.h"

namespace reflasher {

// Everything one update run works with; the worker's argument holds it (UpdateThreadProc.h).
struct UpdateContext {
    const UpdateServices& services;
    DialogRequests& dialog;
    // The printer (a queue) chosen at Start, held here: a new selection during the
    // run can't redirect it.
    const std::wstring printer;
    // The image decided at Start: the embedded one, or the chosen file as read and
    // checked then.
    const FirmwareImage& image;
    std::atomic<bool>& downloadInProgress;
};

// Runs one update and tells its result by message box, with two exceptions: a
// printer that can't be opened at the start ends the run silently, and a spooler
// call that hangs is told by the dialog's thread, not by the run. The system is kept
// awake from the start until the printer is closed for the last time, and the
// dialog hears of that moment through DeviceWorkEnded.
void UpdateRun(UpdateContext& context);

}  // namespace reflasher
