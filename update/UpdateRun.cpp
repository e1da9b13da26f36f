#include "update/UpdateRun.h"

#include <optional>
#include <string>

#include "device/DeviceStatus.h"
#include "device/UsbPrinter.h"
#include "texts/ProgramTexts.h"
#include "update/FlashPolling.h"
#include "update/PrintQueue.h"
#include "update/RawJob.h"
#include "update/RunMessages.h"
#include "update/SendFirmwareFile.h"
#include "update/UpdateTiming.h"
#include "update/WatchedSpooler.h"

namespace reflasher {
namespace {

// From the run's start until the printer is closed for the last time the embosser
// works: the system is kept awake, and the dialog holds what it holds for the
// device's sake. Both are let go when that work ends, not when the user closes the
// result, so a computer left with the result on screen may sleep and restart.
class DeviceWorkSpan {
public:
    DeviceWorkSpan(KeepAwake& keepAwake, DialogRequests& dialog)
        : keepAwake_(keepAwake), dialog_(dialog) {
        keepAwake_.KeepSystemAwake();
    }
    ~DeviceWorkSpan() {
        // Ends the work where the run didn't: a first open that fails, or an
        // exception. It is the dialog's only word to let go of its hold (the run's end
        // alone doesn't), yet a destructor must not throw: a failure here is swallowed,
        // and then the dialog isn't told.
        try {
            End();
        } catch (...) {
        }
    }
    DeviceWorkSpan(const DeviceWorkSpan&) = delete;
    DeviceWorkSpan& operator=(const DeviceWorkSpan&) = delete;

    void End() {
        if (ended_) return;
        ended_ = true;
        keepAwake_.AllowSystemSleep();
        dialog_.DeviceWorkEnded();
    }

private:
    KeepAwake& keepAwake_;
    DialogRequests& dialog_;
    bool ended_ = false;
};

// Queries until the device reports service mode, pausing after every query.
bool AwaitServiceMode(Spooler& spooler, PrinterHandle printer, Pauses& pauses) {
    bool ready = false;
    for (int poll = 0; poll < kPollLimit && !ready; ++poll) {
        ready = QueryDeviceStatus(spooler, printer).status == status_code::kReady;
        pauses.Sleep(kNegotiationPauseMs);
    }
    return ready;
}

SentJob SendServiceModeJob(Spooler& spooler, PrinterHandle printer, bool hold) {
    return SendRawJob(spooler, printer, hold, [&] {
        const auto& job = ServiceModeJob();
        return WriteWhole(spooler, printer, job.data(), job.size());
    });
}

SentJob SendFirmwareJob(UpdateContext& context, Spooler& spooler, PrinterHandle printer,
                        bool hold) {
    return SendRawJob(spooler, printer, hold, [&] {
        return SendFirmwareFile(spooler, printer, context.image, context.dialog);
    });
}

// The last look before the image may go: the embosser still waits for its firmware,
// and no other document joined the queue. One that printed behind the run's held
// job would have reached the embosser as its firmware.
bool FirmwareMayGo(Spooler& spooler, PrinterHandle printer, const RunJobs& jobs) {
    if (jobs.ForeignDocumentJoined(spooler, printer)) return false;
    return QueryDeviceStatus(spooler, printer).status == status_code::kReady;
}

// The run's hold on one open printer. However the run lets go of it, none of the
// run's jobs stays queued to print later.
class OpenEmbosser {
public:
    OpenEmbosser(Spooler& spooler, const RunJobs& jobs) : spooler_(spooler), jobs_(jobs) {}
    ~OpenEmbosser() {
        // Also when the run is left by an exception, which must not be thrown again.
        try {
            Close();
        } catch (...) {
        }
    }
    OpenEmbosser(const OpenEmbosser&) = delete;
    OpenEmbosser& operator=(const OpenEmbosser&) = delete;

    PrinterHandle* Slot() { return &printer_; }
    PrinterHandle get() const { return printer_; }

    void Close() {
        if (printer_ == 0) return;
        const PrinterHandle printer = printer_;
        printer_ = 0;
        jobs_.RemoveQueued(spooler_, printer);
        spooler_.Close(printer);
    }

private:
    Spooler& spooler_;
    const RunJobs& jobs_;
    PrinterHandle printer_ = 0;
};

// The run from the first open to the result, through `spooler` (the services' own,
// or the same watched). Whatever it holds on the way (open printers, jobs) it lets
// go of by itself, also when it is left by an exception.
void RunSteps(UpdateContext& context, Spooler& spooler, DeviceWorkSpan& deviceWork,
              RunJobs& jobs) {
    Allocator& allocator = *context.services.allocator;
    DialogRequests& dialog = context.dialog;
    // Both opens: the printer chosen at Start.
    const std::wstring& printerName = context.printer;
    const PrinterDefaults defaults = UpdatePrinterDefaults();

    // Lets go of the printer and the device's work before the message, so that nothing
    // is held for the embosser's sake while the user reads it.
    const auto endEarly = [&](OpenEmbosser& printer, const RunMessage& message) {
        printer.Close();
        deviceWork.End();
        Show(dialog, message);
        dialog.SetProgressPos(0);
    };

    dialog.SetProgressRange(0, 100);
    dialog.SetProgressPos(0);

    {
        OpenEmbosser printer(spooler, jobs);
        if (!OpenUsbPrinter(spooler, printerName, printer.Slot(), defaults, allocator)) return;
        const QueueRefusal refusal = jobs.CheckBeforeSending(spooler, printer.get());
        if (refusal != QueueRefusal::None) {
            endEarly(printer, QueueRefusalMessage(refusal));
            return;
        }
        const SentJob service = SendServiceModeJob(spooler, printer.get(), jobs.CanHold());
        jobs.Add(service.id, service.held);
        if (service.held && spooler.ResumeJob(printer.get(), service.id)) jobs.Released(service.id);
        dialog.SetProgressPos(10);
        dialog.SetStatusLine(texts::kNegotiating);

        if (!AwaitServiceMode(spooler, printer.get(), *context.services.pauses)) {
            endEarly(printer, NeverReadyMessage());
            return;
        }
    }

    // The firmware goes through a fresh handle, on which service mode is confirmed first.
    OpenEmbosser printer(spooler, jobs);
    if (!OpenUsbPrinter(spooler, printerName, printer.Slot(), defaults, allocator)) {
        // The embosser now takes the next document any program prints as its firmware.
        deviceWork.End();
        Show(dialog, ReopenFailedMessage());
        return;
    }
    const DeviceStatus recheck = QueryDeviceStatus(spooler, printer.get());
    if (recheck.status != status_code::kReady) {
        endEarly(printer, RecheckFailedMessage(recheck.status));
        return;
    }
    // The embosser takes the next document as its firmware, whoever sent it. A held
    // job is looked at again right before it is released; one that can't be held
    // goes after this look, and the embosser is asked once more.
    const bool hold = jobs.CanHold();
    if (hold ? jobs.ForeignDocumentJoined(spooler, printer.get())
             : !FirmwareMayGo(spooler, printer.get(), jobs)) {
        endEarly(printer, ForeignDocumentMessage());
        return;
    }

    // What a call that hangs from here on may leave at the embosser: the image is
    // taken as gone from the moment nothing holds it back any more.
    StuckCallWatch* watch = context.services.callWatch;
    const auto imageReleasing = [watch] {
        if (watch != nullptr) watch->ImageReleasing();
    };
    if (watch != nullptr) watch->FirmwareJobStarting();
    if (!hold) imageReleasing();
    const SentJob firmware = SendFirmwareJob(context, spooler, printer.get(), hold);
    jobs.Add(firmware.id, firmware.held);
    if (!firmware.held) imageReleasing();  // a refused pause held nothing
    if (firmware.held && !FirmwareMayGo(spooler, printer.get(), jobs)) {
        // Held, nothing of it has gone: a document that came in meanwhile, or one
        // that printed behind it, means it must not go.
        spooler.DeleteJob(printer.get(), firmware.id);
        endEarly(printer, ForeignDocumentMessage());
        return;
    }
    if (firmware.held) {
        // One that fails is no fault in itself: polling shows whether the firmware
        // arrived, and a job still held at the end is deleted with the others.
        imageReleasing();
        if (spooler.ResumeJob(printer.get(), firmware.id)) jobs.Released(firmware.id);
    }
    dialog.SetProgressPos(20);
    dialog.SetStatusLine(texts::kSending);
    dialog.RepaintDialog();

    const FlashOutcome outcome = PollFlash(spooler, printer.get(), dialog, *context.services.pauses);
    printer.Close();
    deviceWork.End();
    dialog.SetProgressPos(100);
    dialog.SetStatusLine(texts::kDone);
    Show(dialog, outcome.stillWorking ? StillWritingMessage()
                                      : FlashOutcomeMessage(outcome.finished, outcome.last.status));
    dialog.SetProgressPos(0);
}

}  // namespace

void UpdateRun(UpdateContext& context) {
    // Every spooler call of the run is timed when the dialog watches for one that hangs.
    StuckCallWatch* watch = context.services.callWatch;
    std::optional<WatchedSpooler> watched;
    Spooler* spooler = context.services.spooler;
    if (watch != nullptr) {
        watch->RunStarted();
        spooler = &watched.emplace(*spooler, *watch);
    }

    DeviceWorkSpan deviceWork(*context.services.keepAwake, context.dialog);
    RunJobs jobs;
    try {
        RunSteps(context, *spooler, deviceWork, jobs);
    } catch (...) {
        // A failure of the program's own (no memory, say): the printers are closed and
        // the run's jobs removed by now; the user must hear that the embosser may
        // wait in service mode.
        try {
            deviceWork.End();
            Show(context.dialog, RunFailedMessage());
            context.dialog.SetProgressPos(0);
        } catch (...) {
        }
    }
}

}  // namespace reflasher
