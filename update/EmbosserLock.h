// One update per embosser at a time, whichever copy of the program starts it: a run
// holds a lock named after the printer, system-wide, from before its service-mode job
// until the printer is closed for the last time. A second copy on the same
// embosser, started by a double-click too many or by another user, is refused
// while it is held.
#pragma once

#include <memory>
#include <string>

namespace reflasher {

// Held while it exists.
class EmbosserLock {
public:
    virtual ~EmbosserLock() = default;
};

class EmbosserLocks {
public:
    virtual ~EmbosserLocks() = default;
    // The lock for `printer`, or null while another run holds it.
    virtual std::unique_ptr<EmbosserLock> TryTake(const std::wstring& printer) = 0;
};

// The lock's system-wide name for `printer`, without its namespace. Printer names
// are compared without regard to ASCII letter case, as the spooler does, and may
// hold characters that a kernel object's name can't (the backslash), so the name
// is the folded printer name with those escaped.
std::wstring EmbosserLockName(const std::wstring& printer);

}  // namespace reflasher
