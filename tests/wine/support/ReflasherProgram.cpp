#include "tests/wine/support/ReflasherProgram.h"

#include "tests/wine/support/E2eEnvironment.h"
#include "tests/wine/support/Waiting.h"
#include "tests/wine/support/Windows.h"

namespace reflasher::e2e {
namespace {

HWND FindMainDialog(DWORD processId) {
    for (const TopWindow& window : TopLevelWindows(processId)) {
        if (window.className == L"#32770" && window.caption == kMainCaption) return window.window;
    }
    return nullptr;
}

}  // namespace

std::string ReflasherProgram::Start(const std::wstring& program) {
    std::string error;
    const bool unixPath = !program.empty() && program[0] == L'/';
    process_ = ChildProcess::Start(unixPath ? WindowsPath(program) : program, {}, &error);
    return process_.Started() ? std::string() : error;
}

RemoteDialog ReflasherProgram::WaitForDialog(unsigned timeoutMs) const {
    HWND dialog = nullptr;
    WaitUntil(
        [&] { return (dialog = FindMainDialog(process_.Id())) != nullptr || !process_.Running(); },
        timeoutMs);
    return RemoteDialog(dialog);
}

RemoteDialog ReflasherProgram::WaitForVisibleDialog(unsigned timeoutMs) const {
    HWND dialog = nullptr;
    WaitUntil(
        [&] {
            dialog = FindMainDialog(process_.Id());
            return (dialog != nullptr && IsWindowVisible(dialog)) || !process_.Running();
        },
        timeoutMs);
    return RemoteDialog(dialog != nullptr && IsWindowVisible(dialog) ? dialog : nullptr);
}

}  // namespace reflasher::e2e
