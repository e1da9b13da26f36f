// The bridge's account of what it received and published, one timestamped line
// each, to standard output and (when asked) to a file the tests read afterwards.
#pragma once

#include <windows.h>

#include <string>

#include "win32/Handles.h"

namespace reflasher::bridge {

class BridgeLog {
public:
    // `path` as Windows or Unix path; empty: standard output only.
    explicit BridgeLog(const std::wstring& path);

    bool FileFailed() const { return fileFailed_; }
    void Line(const std::string& text);

private:
    UniqueKernelHandle file_;
    bool fileFailed_ = false;
    ULONGLONG startMs_;
};

// A Windows path for a path that may be a Unix one (Wine shows the Unix root as Z:).
std::wstring WindowsPathOf(const std::wstring& path);

}  // namespace reflasher::bridge
