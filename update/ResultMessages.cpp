#include "update/ResultMessages.h"

#include "device/DeviceStatus.h"
#include "update/MessageCaptions.h"

namespace reflasher {
namespace {

ResultMessage Info(const wchar_t* text) { return {text, L"Info", MessageIcon::Information}; }
ResultMessage Error(const wchar_t* text) { return {text, kErrorCaption, MessageIcon::Warning}; }

}  // namespace

void Show(DialogRequests& dialog, const ResultMessage& message) {
    dialog.ShowMessage(message.text, message.caption, message.icon);
}

// As users know them, "occured", "unkonwn" and "again \n" too: tests and the README quote them.
ResultMessage NeverReadyMessage() {
    return Info(
        L"The Printer failed to respond\nbefore timeout.\nPlease turn the printer off\n"
        L"and on again before retrying.");
}

ResultMessage RecheckFailedMessage(int status) {
    if (status == status_code::kInvalidFile) {
        return Error(
            L"The file received by the printer is invalid!\n"
            L"Turn the printer off and on again, and retry.");
    }
    return Error(
        L"An error occured while trying to upgrade flash.\n"
        L"Please turn the printer off and on again, and retry.");
}

ResultMessage FlashResultMessage(bool finished, int lastStatus) {
    if (!finished) {
        return Error(
            L"There was an error upgrading the flash!\nPlease turn the printer off and on "
            L"again \nbefore trying again.");
    }
    // Polling finishes only on 0 (after flashing) or on one of the device's errors.
    switch (lastStatus) {
        case status_code::kIdle:
            return Info(
                L"The Flash upgrade was successful.\nPlease turn the printer off and on "
                L"again,\nand close this application before\nresuming printing.");
        case status_code::kInvalidFile:
            return Info(
                L"The hex file that was selected\nis invalid! Please turn the printer,\n"
                L"off and on again before retrying\n");
        case status_code::kFlashError:
            return Info(
                L"A flash device error occured!\nPlease turn the printer off and\n"
                L"on again before retrying.\n");
        case status_code::kWriteError:
            return Info(
                L"A flash write error occured!\nPlease turn the printer off and\n"
                L"on again before retrying.\n");
        default:  // 4
            return Info(
                L"An unkonwn error has occured!\nPlease turn the printer off and\n"
                L"on again before retrying.\n");
    }
}

ResultMessage StillWritingMessage() {
    // Switching the embosser off now could leave it unusable: the text says to wait.
    return Error(
        L"The printer is still writing its new firmware!\nThe update is still under way. "
        L"Please wait\nuntil the printer has finished before you\nswitch it off.");
}

ResultMessage FileAllocationFailedMessage() { return Error(L"File read failure (malloc failure)"); }

ResultMessage PrinterWriteFailedMessage() { return Error(L"Failed to write to printer"); }

ResultMessage QueueRefusalMessage(QueueRefusal refusal) {
    switch (refusal) {
        case QueueRefusal::Offline:
            return Error(
                L"The printer is offline!\nNothing was sent to the printer.\nPlease connect it, "
                L"turn it on, and make sure\nits queue is not set to use the printer offline,\n"
                L"then retry.");
        case QueueRefusal::Paused:
            return Error(
                L"The printer's queue is paused!\nNothing was sent to the printer.\n"
                L"Please resume printing in its queue,\nthen retry.");
        case QueueRefusal::Fault:
            return Error(
                L"The printer's queue reports an error!\nNothing was sent to the printer.\n"
                L"Please turn the printer off and on again,\nclear the error in its queue, "
                L"and retry.");
        case QueueRefusal::DocumentsWaiting:
            return Error(
                L"Documents are waiting in the printer's queue!\nNothing was sent to the "
                L"printer.\nPlease let them print or cancel them,\nthen retry.");
        case QueueRefusal::DeviceUpdating:
        case QueueRefusal::None:
            break;
    }
    return Error(
        L"The printer is already in firmware update mode!\nNothing was sent to the printer.\n"
        L"Please turn the printer off and on again,\nthen retry.");
}

ResultMessage ForeignDocumentMessage() {
    return Error(
        L"Another document was sent to the printer\nduring the update! The firmware was not "
        L"sent.\nPlease turn the printer off and on again,\nand retry once that document has "
        L"printed.");
}

ResultMessage ReopenFailedMessage() {
    return Error(
        L"The printer could not be opened again!\nIt is waiting for its firmware, and would take\n"
        L"the next document it gets as its firmware.\nPlease turn the printer off and on again\n"
        L"before printing anything, then retry.");
}

ResultMessage RunFailedMessage() {
    return Error(
        L"An unexpected error stopped the update!\nPlease turn the printer off and on again\n"
        L"before printing anything, then retry.");
}

ResultMessage StuckCallMessage(RunStage stage) {
    switch (stage) {
        case RunStage::NoFirmwareSent:
            return Error(
                L"The printer is not answering!\nNo firmware was sent to the printer.\n"
                L"Please wait, or close this application and\nturn the printer off and on again\n"
                L"before printing anything.");
        case RunStage::FirmwareJobStarted:
            return Error(
                L"The printer is not answering!\nThe firmware may have reached the printer.\n"
                L"Please wait, or close this application and\nturn the printer off and on again\n"
                L"before printing anything.");
        case RunStage::ImageReleased:
            break;
    }
    // The image has gone: switching the embosser off now could leave it unusable.
    return Error(
        L"The printer is not answering!\nIt may still be writing its new firmware and\n"
        L"must not be turned off until it has finished.\nPlease wait: the update goes on by itself\n"
        L"if Windows' printing answers again.");
}

}  // namespace reflasher
