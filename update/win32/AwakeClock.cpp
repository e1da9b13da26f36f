#include "update/win32/AwakeClock.h"

#include "win32/SystemLibrary.h"

namespace reflasher {

AwakeClock::AwakeClock() {
    static const SystemLibrary kernel32(L"kernel32.dll");
    unbiased_ = REFLASHER_SYSTEM_FUNCTION(kernel32, QueryUnbiasedInterruptTime);
}

std::uint64_t AwakeClock::NowMs() const {
    ULONGLONG hundredsOfNs = 0;
    if (unbiased_ != nullptr && unbiased_(&hundredsOfNs)) return hundredsOfNs / 10000;
    return ::GetTickCount64();
}

}  // namespace reflasher
