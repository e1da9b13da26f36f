#include "update/StuckCallWatch.h"

namespace reflasher {

void StuckCallWatch::RunStarted() {
    callStartPlusOne_ = 0;
    firmwareStarted_ = false;
    reported_ = false;
}

void StuckCallWatch::CallStarted() { callStartPlusOne_ = clock_.NowMs() + 1; }

void StuckCallWatch::CallEnded() { callStartPlusOne_ = 0; }

void StuckCallWatch::FirmwareJobStarting() { firmwareStarted_ = true; }

bool StuckCallWatch::TakeStuckReport(bool* firmwareMayHaveGone) {
    const std::uint64_t since = callStartPlusOne_;
    if (since == 0 || reported_) return false;
    const std::uint64_t now = clock_.NowMs();
    if (now + 1 < since || now + 1 - since < kStuckCallMs) return false;
    if (reported_.exchange(true)) return false;
    *firmwareMayHaveGone = firmwareStarted_;
    return true;
}

}  // namespace reflasher
