// Reflasher.exe started as a user would start it, and its main dialog found by
// its caption among the program's own windows.
#pragma once

#include "tests/shared/ExpectedTexts.h"

#include <string>

#include "tests/wine/support/ChildProcess.h"
#include "tests/wine/support/RemoteDialog.h"

namespace reflasher::e2e {

using expected::kMainCaption;

class ReflasherProgram {
public:
    // `program` as a Unix or a Windows path. Empty on success, else why it didn't start.
    std::string Start(const std::wstring& program);

    DWORD ProcessId() const { return process_.Id(); }
    bool Running() const { return process_.Running(); }
    bool WaitForExit(unsigned timeoutMs) const { return process_.WaitForExit(timeoutMs); }
    void Kill() { process_.Kill(); }

    // The dialog window, once it exists (it exists hidden while it initialises).
    RemoteDialog WaitForDialog(unsigned timeoutMs) const;
    // ... and once it is on screen.
    RemoteDialog WaitForVisibleDialog(unsigned timeoutMs) const;

private:
    ChildProcess process_;
};

}  // namespace reflasher::e2e
