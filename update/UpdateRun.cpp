#include "update/UpdateRun.h"

#include <string>

#include "device/DeviceStatus.h"
#include "device/UsbPrinter.h"
#include "update/FlashPolling.h"
#include "update/RawJob.h"
#include "update/ResultMessages.h"
#include "update/UpdateTiming.h"

namespace reflasher {
namespace {

// From the run's start until the printer is closed for the last time the embosser
// works: the system is kept awake, and the dialog holds what it holds for the
// device's sake. Both are let go when that work ends, not when the user closes the
// result, so a computer left with the result on screen may sleep and restart.
class DeviceWorkSpan {
public:
    DeviceWorkSpan(KeepAwake& keepAwake, UpdateDialog& dialog)
        : keepAwake_(keepAwake), dialog_(dialog) {
        keepAwake_.KeepSystemAwake();
    }
    ~DeviceWorkSpan() {
        // Only when the run is left by an exception: the dialog ends its own hold
        // when the worker is gone, so this must not throw again.
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
    UpdateDialog& dialog_;
    bool ended_ = false;
};

void Show(UpdateDialog& dialog, const ResultMessage& message) {
    dialog.ShowMessage(message.text, message.caption, message.icon);
}

// Queries until the device reports service mode, pausing after every query.
bool AwaitServiceMode(Spooler& spooler, PrinterHandle printer, Pauses& clock) {
    bool ready = false;
    for (int poll = 0; poll < kPollLimit && !ready; ++poll) {
        ready = QueryDeviceStatus(spooler, printer).status == status_code::kReady;
        clock.Sleep(kNegotiationPauseMs);
    }
    return ready;
}

void SendServiceModeJob(Spooler& spooler, PrinterHandle printer) {
    SendRawJob(spooler, printer, [&] {
        const auto& job = ServiceModeJob();
        spooler.WritePrinter(printer, job.data(), static_cast<std::uint32_t>(job.size()));
    });
}

void SendFirmwareJob(UpdateContext& context, PrinterHandle printer) {
    SendRawJob(context.spooler, printer, [&] {
        EmbeddedImage image;
        if (context.embeddedImage.Find(&image)) {
            // The embedded image is ours and of known size; the count taken is not checked.
            context.spooler.WritePrinter(printer, image.data,
                                         static_cast<std::uint32_t>(image.size));
        } else {
            SendFirmwareFile(context, printer);
        }
    });
}

}  // namespace

void UpdateRun(UpdateContext& context) {
    Spooler& spooler = context.spooler;
    UpdateDialog& dialog = context.dialog;
    // One copy for both opens: a new selection during the run can't redirect it.
    const std::wstring printerName = dialog.SelectedPrinter();
    const PrinterDefaults defaults = UpdatePrinterDefaults();
    DeviceWorkSpan deviceWork(context.keepAwake, dialog);

    dialog.SetProgressRange(0, 100);
    dialog.SetProgressPos(0);

    PrinterHandle printer = 0;
    if (!OpenUsbPrinter(spooler, printerName, &printer, defaults, context.allocator)) return;
    SendServiceModeJob(spooler, printer);
    dialog.SetProgressPos(10);
    dialog.SetStatusLine(L"negotiating update");

    const bool ready = AwaitServiceMode(spooler, printer, context.clock);
    if (!ready) {
        Show(dialog, NeverReadyMessage());
        dialog.SetProgressPos(0);
    }
    spooler.ClosePrinter(printer);
    if (!ready) return;  // the device's work ends with the run

    // The firmware goes through a fresh handle, on which service mode is confirmed first.
    if (!OpenUsbPrinter(spooler, printerName, &printer, defaults, context.allocator)) return;
    const DeviceStatus recheck = QueryDeviceStatus(spooler, printer);
    if (recheck.status != status_code::kReady) {
        spooler.ClosePrinter(printer);
        deviceWork.End();
        Show(dialog, RecheckFailedMessage(recheck.status));
        dialog.SetProgressPos(0);
        return;
    }

    SendFirmwareJob(context, printer);
    dialog.SetProgressPos(20);
    dialog.SetStatusLine(L"sending firmware");
    dialog.RepaintDialog();

    const FlashOutcome outcome = PollFlash(spooler, printer, dialog, context.clock);
    spooler.ClosePrinter(printer);
    deviceWork.End();
    dialog.SetProgressPos(100);
    dialog.SetStatusLine(L"writing done");
    Show(dialog, FlashResultMessage(outcome.finished, outcome.last.status));
    dialog.SetProgressPos(0);
}

}  // namespace reflasher
