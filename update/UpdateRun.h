// One firmware update of the embosser, from service mode to the result message.
#pragma once

#include <atomic>

#include "device/Allocator.h"
#include "device/Spooler.h"
#include "update/Pauses.h"
#include "update/FirmwareSources.h"
#include "update/KeepAwake.h"
#include "update/UpdateDialog.h"

namespace reflasher {

// Everything an update run works with; the dialog assembles it for its worker.
struct UpdateContext {
    Spooler& spooler;
    UpdateDialog& dialog;
    Pauses& clock;
    KeepAwake& keepAwake;
    const EmbeddedImageSource& embeddedImage;
    // The chosen file as read and checked at Start (used only without an embedded image).
    const FirmwareFileBytes& chosenFile;
    Allocator& allocator;
    std::atomic<bool>& downloadInProgress;
};

// Runs one update; every outcome is told to the user by message box. The system is
// kept awake from the start until the printer is closed for the last time, and the
// dialog hears of that moment through DeviceWorkEnded.
void UpdateRun(UpdateContext& context);

// The worker thread's procedure: UpdateRun, then clears downloadInProgress as its
// very last act on anything shared with the dialog. Gives 0.
unsigned UpdateThreadProc(UpdateContext& context);

// Sends the chosen file's bytes inside the open page of the firmware job, in one
// write; tells the user when the spooler took less. True when it took them all.
bool SendFirmwareFile(UpdateContext& context, PrinterHandle printer);

}  // namespace reflasher
