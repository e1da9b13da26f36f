// Keeping the computer awake through a power request: unlike a thread's execution
// state, it is set and cleared through its handle by any thread, so the dialog's
// thread can let the computer sleep while the worker is stuck in a spooler call.
#pragma once

#include <windows.h>

#include <atomic>

#include "win32/Handles.h"
#include "update/KeepAwake.h"

namespace reflasher {

class PowerRequestKeepAwake : public KeepAwake {
public:
    // PowerCreateRequest (kernel32, Windows 7 and later), with the reason Windows shows.
    PowerRequestKeepAwake();
    // PowerSetRequest(PowerRequestSystemRequired); a second call before a clear does nothing.
    void KeepSystemAwake() override;
    // PowerClearRequest, from any thread; a second call does nothing. Without power
    // requests: the calling thread's own state, cleared on every call.
    void AllowSystemSleep() override;

private:
    decltype(&::PowerSetRequest) setRequest_ = nullptr;
    decltype(&::PowerClearRequest) clearRequest_ = nullptr;
    UniqueKernelHandle request_;
    std::atomic<bool> set_{false};
};

}  // namespace reflasher
