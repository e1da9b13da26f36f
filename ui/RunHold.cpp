#include "ui/RunHold.h"

namespace reflasher {

bool RunHold::BeginRun(const std::wstring& port) {
    if (state_ != State::Idle) return false;
    lock_ = parts_.locks.TryTake(port);
    if (!lock_) return false;
    state_ = State::Holding;
    parts_.sessionEnd.Block();
    if (parts_.watch != nullptr) {
        // Nothing of an earlier run is told in this one.
        parts_.watch->RunStarted();
        parts_.timer.Start();
    }
    return true;
}

void RunHold::DeviceWorkEnded() {
    if (state_ == State::Holding || state_ == State::LetGo) state_ = State::Idle;
    parts_.timer.Stop();
    parts_.box.Close();
    parts_.sessionEnd.Allow();
    parts_.keepAwake.AllowSystemSleep();
    lock_.reset();
}

void RunHold::Tick() {
    if (state_ != State::Holding && state_ != State::LetGo) {
        parts_.timer.Stop();
        return;
    }
    if (parts_.watch == nullptr) return;
    if (state_ == State::LetGo && parts_.watch->TakeReturnReport()) TakeBack();
    RunStage stage = RunStage::NoFirmwareSent;
    if (state_ == State::Holding && parts_.watch->TakeStuckReport(&stage)) LetGo(stage);
}

void RunHold::LetGo(RunStage stage) {
    // Keeping awake is a power request, which any thread may clear; the worker stays
    // inside the call, and the stuck thread goes with the process if the user leaves.
    state_ = State::LetGo;
    parts_.sessionEnd.Allow();
    parts_.keepAwake.AllowSystemSleep();
    parts_.box.Show(StuckCallMessage(stage));
}

void RunHold::TakeBack() {
    state_ = State::Holding;
    parts_.keepAwake.KeepSystemAwake();
    parts_.sessionEnd.Block();
    parts_.box.Close();
}

void RunHold::ProcessEnding() {
    state_ = State::Ending;
    parts_.timer.Stop();
    parts_.box.Close();
    parts_.sessionEnd.Allow();
    parts_.keepAwake.AllowSystemSleep();
}

}  // namespace reflasher
