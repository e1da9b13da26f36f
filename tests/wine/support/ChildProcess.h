// A Windows program started by a test or the demo pilot, with its handles owned:
// started with CreateProcessW, waited for, stopped.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win32/Handles.h"

namespace reflasher::e2e {

class ChildProcess {
public:
    ChildProcess() = default;
    // Ends the program if it still runs: a test that fails half-way leaves nothing behind.
    ~ChildProcess();
    ChildProcess(ChildProcess&&) noexcept = default;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // `program` is a Windows path; each argument is quoted as the C runtime splits them.
    static ChildProcess Start(const std::wstring& program,
                              const std::vector<std::wstring>& arguments, std::string* error);

    bool Started() const { return static_cast<bool>(process_); }
    DWORD Id() const { return processId_; }
    bool Running() const;
    // True when the program ended within `timeoutMs`.
    bool WaitForExit(unsigned timeoutMs) const;
    // Asks the main thread to end its message loop (WM_QUIT), waits, then forces the end.
    void Stop(unsigned graceMs);
    void Kill();

private:
    reflasher::UniqueKernelHandle process_;
    reflasher::UniqueKernelHandle thread_;
    DWORD processId_ = 0;
    DWORD threadId_ = 0;
};

// One argument quoted for a command line (backslashes before quotes doubled).
std::wstring QuotedArgument(const std::wstring& argument);

}  // namespace reflasher::e2e
