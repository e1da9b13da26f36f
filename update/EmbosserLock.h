// One update per embosser at a time, whichever copy of the program starts it: a run
// holds a lock named after the printer's port, system-wide, from before its
// service-mode job until the printer is closed for the last time. The port is the
// embosser: Windows may show one embosser as two queues on the same port. A second
// copy on the same embosser, through either queue, started by a double-click too
// many or by another user, is refused while it is held.
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
    // The lock for the embosser on `port`, or null while another run holds it.
    virtual std::unique_ptr<EmbosserLock> TryTake(const std::wstring& port) = 0;
};

// The lock's system-wide name for the embosser on `port`, without its namespace.
// Port names are compared without regard to ASCII letter case, as the spooler does,
// and may hold characters that a kernel object's name can't (the backslash), so the
// name is the folded port name with those escaped.
std::wstring EmbosserLockName(const std::wstring& port);

}  // namespace reflasher
