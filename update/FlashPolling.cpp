#include "update/FlashPolling.h"

#include "texts/ProgramTexts.h"
#include "update/UpdateTiming.h"

namespace reflasher {
namespace {

constexpr int kStartBar = 30;
// Statuses that say nothing about progress move the bar in steps of 5 up to here,
// so the user sees the run is alive; a real progress report sets it directly.
constexpr int kCreepCeiling = 60;
constexpr int kCreepStep = 5;

}  // namespace

FlashOutcome PollFlash(Spooler& spooler, PrinterHandle printer, DialogRequests& dialog,
                       Pauses& pauses) {
    FlashOutcome outcome;
    dialog.SetProgressPos(kStartBar);
    pauses.Sleep(kFirmwareSettleMs);
    int bar = kStartBar;
    bool flashingSeen = false;
    // The user is told the flash failed only once the device has stopped telling
    // anything new: a device that moves slowly is writing, and must not be switched off.
    int highestProgress = 0;
    int previousStatus = 0;
    int queriesWithoutNews = 0;

    for (int query = 0; query < kFlashQueryLimit && queriesWithoutNews < kPollLimit && !outcome.finished; ++query) {
        outcome.last = QueryDeviceStatus(spooler, printer);
        const int status = outcome.last.status;
        const bool newStatus = query > 0 && status != previousStatus;
        const bool newProgress = status == status_code::kWorking && outcome.last.progress > highestProgress;
        if (newProgress) highestProgress = outcome.last.progress;
        queriesWithoutNews = newStatus || newProgress ? 0 : queriesWithoutNews + 1;
        previousStatus = status;
        switch (outcome.last.status) {
            case status_code::kIdle:
                // Idle before any flashing is the device not having started yet.
                if (flashingSeen) outcome.finished = true;
                break;
            case status_code::kInvalidFile:
            case status_code::kFlashError:
            case status_code::kUnknownError:
            case status_code::kWriteError:
                // The device's result: no point making the user wait out the polls.
                outcome.finished = true;
                break;
            case status_code::kWorking:
                bar = 50 + outcome.last.progress / 2;
                dialog.SetStatusLine(outcome.last.progress != 0 ? texts::kWriting : texts::kErasing);
                dialog.SetProgressPos(bar);
                dialog.RepaintProgressBar();
                flashingSeen = true;
                break;
            default:
                if (bar < kCreepCeiling) {
                    dialog.SetStatusLine(texts::kWriting);
                    bar += kCreepStep;
                    dialog.SetProgressPos(bar);
                    dialog.RepaintProgressBar();
                }
                break;
        }
        pauses.Sleep(kFlashPauseMs);
    }
    outcome.stillWorking = !outcome.finished && queriesWithoutNews < kPollLimit &&
                           outcome.last.status == status_code::kWorking;
    return outcome;
}

}  // namespace reflasher
