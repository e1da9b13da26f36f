// One firmware update of the embosser, from service mode to the result message.
#pragma once

#include <atomic>

#include "update/FirmwareSources.h"
#include "update/UpdateDialog.h"
#include "update/UpdateServices.h"

namespace reflasher {

// Everything one update run works with; the dialog assembles it for its worker.
struct UpdateContext {
    const UpdateServices& services;
    UpdateDialog& dialog;
    // The chosen file as read and checked at Start (used only without an embedded image).
    const FirmwareFileBytes& chosenFile;
    std::atomic<bool>& downloadInProgress;
};

// Runs one update; every outcome is told to the user by message box. The system is
// kept awake from the start until the printer is closed for the last time, and the
// dialog hears of that moment through DeviceWorkEnded.
void UpdateRun(UpdateContext& context);

}  // namespace reflasher
