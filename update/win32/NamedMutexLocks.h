// The embosser's lock as a named mutex, in the global namespace so that a copy in
// another user's session counts too. A mutex belongs to the thread that took it:
// the dialog's thread takes the lock at Start Download and lets go of it there
// when the worker reports that the device's work is over. A copy that ends
// abnormally leaves the mutex abandoned, which the next taker counts as free.
#pragma once

#include "update/EmbosserLock.h"

namespace reflasher {

class NamedMutexLocks : public EmbosserLocks {
public:
    std::unique_ptr<EmbosserLock> TryTake(const std::wstring& port) override;
};

}  // namespace reflasher
