// Every part the dialog's hold for a run reaches, as plain state, and the clock of
// the watch: for tests that drive RunHold natively.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ui/RunHold.h"

namespace reflasher {

// Every part the hold reaches, as plain state; and the clock of the watch.
struct HoldParts : EmbosserLocks, KeepAwake, SessionEndBlock, WatchTimer, NotAnsweringBox, MonotonicClock {
    struct Lock : EmbosserLock {
        explicit Lock(bool& held) : held_(held) { held_ = true; }
        ~Lock() override { held_ = false; }
        bool& held_;
    };
    std::unique_ptr<EmbosserLock> TryTake(const std::wstring&) override {
        return locked || otherCopy ? nullptr : std::make_unique<Lock>(locked);
    }
    void KeepSystemAwake() override { awake = true; }
    void AllowSystemSleep() override { awake = false; }
    void Block() override { blocked = true; }
    void Allow() override { blocked = false; }
    void Start() override { ticking = true; }
    void Stop() override { ticking = false; }
    void Show(const RunMessage& message) override { box = message.text; }
    void Close() override { box.clear(); }
    std::uint64_t NowMs() const override { return now; }

    bool locked = false, otherCopy = false, awake = false, blocked = false, ticking = false;
    std::wstring box;
    std::uint64_t now = 1000;
};

}  // namespace reflasher
