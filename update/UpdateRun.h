// One firmware update of the embosser, from service mode to the result message.
#pragma once

#include <atomic>

#include "device/Allocator.h"
#include "device/Spooler.h"
#include "update/Clock.h"
#include "update/FirmwareSource.h"
#include "update/UpdateDialog.h"

namespace reflasher {

// Everything an update run works with; the dialog assembles it for its worker.
struct UpdateContext {
    Spooler& spooler;
    UpdateDialog& dialog;
    Clock& clock;
    const EmbeddedImageSource& embeddedImage;
    FileOpener& files;
    Allocator& allocator;
    std::atomic<bool>& downloadInProgress;
};

// Runs one update; every outcome is told to the user by message box.
void UpdateRun(UpdateContext& context);

// The worker thread's procedure: UpdateRun with the system kept awake, then clears
// downloadInProgress. Gives 0.
unsigned UpdateThreadProc(UpdateContext& context);

// Sends the chosen file inside the open page of the firmware job.
void SendFirmwareFile(UpdateContext& context, PrinterHandle printer);

}  // namespace reflasher
