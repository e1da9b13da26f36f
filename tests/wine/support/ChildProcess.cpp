#include "tests/wine/support/ChildProcess.h"

namespace reflasher::e2e {

std::wstring QuotedArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count as escapes only before a quote.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

ChildProcess ChildProcess::Start(const std::wstring& program,
                                 const std::vector<std::wstring>& arguments, std::string* error) {
    std::wstring commandLine = QuotedArgument(program);
    for (const std::wstring& argument : arguments) commandLine += L" " + QuotedArgument(argument);
    std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
    writable.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ChildProcess child;
    if (!CreateProcessW(program.c_str(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
        if (error != nullptr)
            *error = "CreateProcessW failed with error " + std::to_string(GetLastError());
        return child;
    }
    child.process_.Reset(info.hProcess);
    child.thread_.Reset(info.hThread);
    child.processId_ = info.dwProcessId;
    child.threadId_ = info.dwThreadId;
    return child;
}

ChildProcess::~ChildProcess() { Kill(); }

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        Kill();
        process_ = std::move(other.process_);
        thread_ = std::move(other.thread_);
        processId_ = other.processId_;
        threadId_ = other.threadId_;
    }
    return *this;
}

bool ChildProcess::Running() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool ChildProcess::WaitForExit(unsigned timeoutMs) const {
    return !process_ || WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0;
}

void ChildProcess::Stop(unsigned graceMs) {
    if (!Running()) return;
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    if (!WaitForExit(graceMs)) Kill();
}

void ChildProcess::Kill() {
    if (!Running()) return;
    TerminateProcess(process_.get(), 1);
    WaitForExit(5000);
}

}  // namespace reflasher::e2e
