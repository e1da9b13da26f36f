#include "update/RunMessages.h"

#include "device/DeviceStatus.h"
#include "texts/ProgramTexts.h"

namespace reflasher {
namespace {

RunMessage Info(const wchar_t* text) { return {text, texts::kInfoCaption, MessageIcon::Information}; }
RunMessage Error(const wchar_t* text) { return {text, texts::kErrorCaption, MessageIcon::Warning}; }

}  // namespace

void Show(DialogRequests& dialog, const RunMessage& message) {
    dialog.ShowMessage(message.text, message.caption, message.icon);
}

RunMessage NeverReadyMessage() { return Info(texts::kNeverReady); }

RunMessage RecheckFailedMessage(int status) {
    if (status == status_code::kInvalidFile) return Error(texts::kRecheckInvalidFile);
    return Error(texts::kRecheckError);
}

RunMessage FlashOutcomeMessage(bool finished, int lastStatus) {
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

RunMessage StillWritingMessage() { return Error(texts::kStillWriting); }

RunMessage FileAllocationFailedMessage() { return Error(texts::kFileNoMemory); }

RunMessage PrinterWriteFailedMessage() { return Error(texts::kWriteFailed); }

RunMessage QueueRefusalMessage(QueueRefusal refusal) {
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

RunMessage ForeignDocumentMessage() { return Error(texts::kForeignDocument); }

RunMessage ReopenFailedMessage() { return Error(texts::kReopenFailed); }

RunMessage RunFailedMessage() { return Error(texts::kRunFailed); }

RunMessage StuckCallMessage(RunStage stage) {
    switch (stage) {
        case RunStage::NoFirmwareSent: return Error(texts::kStuckBeforeFirmware);
        case RunStage::FirmwareJobStarted: return Error(texts::kStuckAfterFirmware);
        case RunStage::ImageReleased: break;
    }
    return Error(texts::kStuckWhileWriting);
}

}  // namespace reflasher
