#include "update/win32/NamedMutexLocks.h"

#include <windows.h>

#include <utility>

#include "win32/Handles.h"

namespace reflasher {
namespace {

class NamedMutexLock : public EmbosserLock {
public:
    // `mutex` owned by the calling thread, or empty for a lock the system wouldn't give.
    explicit NamedMutexLock(UniqueKernelHandle mutex) : mutex_(std::move(mutex)) {}
    ~NamedMutexLock() override {
        // On the thread that took it; closing the last handle (after this) also
        // removes the name, so no copy is refused once this run is over.
        if (mutex_) ReleaseMutex(mutex_.get());
    }

private:
    UniqueKernelHandle mutex_;
};

}  // namespace

std::unique_ptr<EmbosserLock> NamedMutexLocks::TryTake(const std::wstring& port) {
    const std::wstring name = EmbosserLockName(port);
    UniqueKernelHandle mutex(CreateMutexW(nullptr, FALSE, (L"Global\\" + name).c_str()));
    if (!mutex && GetLastError() == ERROR_ACCESS_DENIED) {
        // Another user's copy holds it: it keeps the mutex open only while it runs.
        return nullptr;
    }
    if (!mutex) mutex.Reset(CreateMutexW(nullptr, FALSE, (L"Local\\" + name).c_str()));
    if (!mutex) {
        // No mutex of that name to be had (another kind of object squats on it): that
        // must not make updates impossible; this copy's own busy flag still guards.
        return std::make_unique<NamedMutexLock>(UniqueKernelHandle());
    }
    switch (WaitForSingleObject(mutex.get(), 0)) {
        case WAIT_OBJECT_0:
        case WAIT_ABANDONED:  // its holder ended without letting go: free
            return std::make_unique<NamedMutexLock>(std::move(mutex));
        case WAIT_TIMEOUT:
            return nullptr;
        default:
            return std::make_unique<NamedMutexLock>(UniqueKernelHandle());
    }
}

}  // namespace reflasher
