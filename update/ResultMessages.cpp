#include "update/ResultMessages.h"

#include "device/DeviceStatus.h"
#include "texts/ProgramTexts.h"

namespace reflasher {
namespace {

ResultMessage Info(const wchar_t* text) { return {text, texts::kInfoCaption, MessageIcon::Information}; }
ResultMessage Error(const wchar_t* text) { return {text, texts::kErrorCaption, MessageIcon::Warning}; }

}  // namespace

void Show(DialogRequests& dialog, const ResultMessage& message) {
    dialog.ShowMessage(message.text, message.caption, message.icon);
}

ResultMessage NeverReadyMessage() { return Info(texts::kNeverReady); }

ResultMessage RecheckFailedMessage(int status) {
    if (status == status_code::kInvalidFile) return Error(texts::kRecheckInvalidFile);
    return Error(texts::kRecheckError);
}

ResultMessage FlashResultMessage(bool finished, int lastStatus) {
    if (!finished) return Error(texts::kNotFinished);
    // Polling finishes only on 0 (after flashing) or on one of the device's errors.
    switch (lastStatus) {
        case status_code::kIdle: return Info(texts::kSuccess);
        case status_code::kInvalidFile: return Info(texts::kInvalidHex);
        case status_code::kFlashError: return Info(texts::kFlashDeviceError);
        case status_code::kWriteError: return Info(texts::kWriteError);
        default: return Info(texts::kUnknownError);  // 4
    }
}

ResultMessage StillWritingMessage() { return Error(texts::kStillWriting); }

ResultMessage FileAllocationFailedMessage() { return Error(texts::kFileNoMemory); }

ResultMessage PrinterWriteFailedMessage() { return Error(texts::kWriteFailed); }

ResultMessage QueueRefusalMessage(QueueRefusal refusal) {
    switch (refusal) {
        case QueueRefusal::Offline: return Error(texts::kQueueOffline);
        case QueueRefusal::Paused: return Error(texts::kQueuePaused);
        case QueueRefusal::Fault: return Error(texts::kQueueFault);
        case QueueRefusal::DocumentsWaiting: return Error(texts::kDocumentsWaiting);
        case QueueRefusal::DeviceUpdating:
        case QueueRefusal::None:
            break;
    }
    return Error(texts::kAlreadyUpdating);
}

ResultMessage ForeignDocumentMessage() { return Error(texts::kForeignDocument); }

ResultMessage ReopenFailedMessage() { return Error(texts::kReopenFailed); }

ResultMessage RunFailedMessage() { return Error(texts::kRunFailed); }

ResultMessage StuckCallMessage(RunStage stage) {
    switch (stage) {
        case RunStage::NoFirmwareSent: return Error(texts::kStuckBeforeFirmware);
        case RunStage::FirmwareJobStarted: return Error(texts::kStuckAfterFirmware);
        case RunStage::ImageReleased: break;
    }
    return Error(texts::kStuckWhileWriting);
}

}  // namespace reflasher
