#include "update/StuckCallWatch.h"

namespace reflasher {
namespace {

constexpr std::uint64_t kReported = 1;
constexpr int kStageShift = 1;
constexpr int kStartShift = 3;

}  // namespace

void StuckCallWatch::RunStarted() {
    call_ = 0;
    stage_ = RunStage::NoFirmwareSent;
    returned_ = false;
}

void StuckCallWatch::CallStarted() {
    call_ = (clock_.NowMs() + 1) << kStartShift |
            static_cast<std::uint64_t>(stage_.load()) << kStageShift;
}

void StuckCallWatch::CallEnded() {
    if (call_.exchange(0) & kReported) returned_ = true;
}

void StuckCallWatch::FirmwareJobStarting() { stage_ = RunStage::FirmwareJobStarted; }

void StuckCallWatch::ImageReleasing() { stage_ = RunStage::ImageReleased; }

bool StuckCallWatch::TakeStuckReport(RunStage* stage) {
    std::uint64_t call = call_;
    if (call == 0 || (call & kReported)) return false;
    const std::uint64_t since = call >> kStartShift;
    const std::uint64_t now = clock_.NowMs() + 1;
    if (now < since || now - since < kStuckCallMs) return false;
    // Fails when the call ended meanwhile: then there is nothing to tell.
    if (!call_.compare_exchange_strong(call, call | kReported)) return false;
    *stage = static_cast<RunStage>((call >> kStageShift) & 3);
    return true;
}

bool StuckCallWatch::TakeReturnReport() { return returned_.exchange(false); }

}  // namespace reflasher
