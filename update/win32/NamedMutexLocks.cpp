#include "update/win32/NamedMutexLocks.h"

#include <windows.h>

namespace reflasher {
namespace {

class NamedMutexLock : public EmbosserLock {
public:
    // `mutex` owned by the calling thread, or null for a lock the system wouldn't give.
    explicit NamedMutexLock(HANDLE mutex) : mutex_(mutex) {}
    ~NamedMutexLock() override {
        if (mutex_ == nullptr) return;
        // On the thread that took it; closing the last handle also removes the
        // name, so no copy is refused once this run is over.
        ReleaseMutex(mutex_);
        CloseHandle(mutex_);
    }
    NamedMutexLock(const NamedMutexLock&) = delete;
    NamedMutexLock& operator=(const NamedMutexLock&) = delete;

private:
    HANDLE mutex_;
};

}  // namespace

std::unique_ptr<EmbosserLock> NamedMutexLocks::TryTake(const std::wstring& port) {
    const std::wstring name = EmbosserLockName(port);
    HANDLE mutex = CreateMutexW(nullptr, FALSE, (L"Global\\" + name).c_str());
    if (mutex == nullptr && GetLastError() == ERROR_ACCESS_DENIED) {
        // Another user's copy holds it: it keeps the mutex open only while it runs.
        return nullptr;
    }
    if (mutex == nullptr) mutex = CreateMutexW(nullptr, FALSE, (L"Local\\" + name).c_str());
    if (mutex == nullptr) {
        // No mutex of that name to be had (another kind of object squats on it): that
        // must not make updates impossible; this copy's own busy flag still guards.
        return std::make_unique<NamedMutexLock>(nullptr);
    }
    switch (WaitForSingleObject(mutex, 0)) {
        case WAIT_OBJECT_0:
        case WAIT_ABANDONED:  // its holder ended without letting go: free
            return std::make_unique<NamedMutexLock>(mutex);
        case WAIT_TIMEOUT:
            CloseHandle(mutex);
            return nullptr;
        default:
            CloseHandle(mutex);
            return std::make_unique<NamedMutexLock>(nullptr);
    }
}

}  // namespace reflasher
