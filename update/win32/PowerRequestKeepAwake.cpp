#include "update/win32/PowerRequestKeepAwake.h"

#include "win32/SystemLibrary.h"

namespace reflasher {
namespace {

const SystemLibrary& Kernel32() {
    static const SystemLibrary kernel32(L"kernel32.dll");
    return kernel32;
}

}  // namespace

PowerRequestKeepAwake::PowerRequestKeepAwake() {
    const auto create = REFLASHER_SYSTEM_FUNCTION(Kernel32(), PowerCreateRequest);
    setRequest_ = REFLASHER_SYSTEM_FUNCTION(Kernel32(), PowerSetRequest);
    clearRequest_ = REFLASHER_SYSTEM_FUNCTION(Kernel32(), PowerClearRequest);
    if (create == nullptr || setRequest_ == nullptr || clearRequest_ == nullptr) return;
    static wchar_t reason[] = L"Reflasher is replacing the embosser's firmware.";
    REASON_CONTEXT context{};
    context.Version = POWER_REQUEST_CONTEXT_VERSION;
    context.Flags = POWER_REQUEST_CONTEXT_SIMPLE_STRING;
    context.Reason.SimpleReasonString = reason;
    request_.Reset(create(&context));
}

void PowerRequestKeepAwake::KeepSystemAwake() {
    if (set_.exchange(true)) return;
    if (request_) {
        setRequest_(request_.get(), PowerRequestSystemRequired);
    } else {
        // No power requests here: the calling thread's state, which only it can clear.
        ::SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
    }
}

void PowerRequestKeepAwake::AllowSystemSleep() {
    const bool wasSet = set_.exchange(false);
    if (request_) {
        if (wasSet) clearRequest_(request_.get(), PowerRequestSystemRequired);
    } else {
        // Each thread clears only its own state, and the dialog's thread may have set
        // one after the worker had cleared the flag: clearing it again is harmless.
        ::SetThreadExecutionState(ES_CONTINUOUS);
    }
}

}  // namespace reflasher
