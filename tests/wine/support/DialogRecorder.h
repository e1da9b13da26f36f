// Watches the main dialog during a run from a thread of its own: every status
// line text, every progress bar position and every message box it sees, with
// the time, so a test can check their order afterwards. It polls every 50 ms;
// the run changes them at most every 800 ms.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/wine/support/RemoteDialog.h"

namespace reflasher::e2e {

struct Observation {
    enum class Kind { StatusLine, BarPosition, MessageBoxShown, MessageBoxGone };
    Kind kind;
    ULONGLONG atMs;         // since the recorder started
    std::wstring text;      // status line; message box caption and text
    int position = 0;       // bar
    HWND window = nullptr;  // message box
};

class DialogRecorder {
public:
    // `onChange`, if given, is called on the recorder's thread for each observation.
    DialogRecorder(RemoteDialog dialog, DWORD processId,
                   std::function<void(const Observation&)> onChange = nullptr);
    ~DialogRecorder();
    DialogRecorder(const DialogRecorder&) = delete;
    DialogRecorder& operator=(const DialogRecorder&) = delete;

    void Stop();

    std::vector<Observation> Observations() const;
    // Each distinct value in the order seen (a repeat right after itself counts once).
    std::vector<std::wstring> StatusLines() const;
    std::vector<int> BarPositions() const;
    std::wstring LastStatusLine() const;
    int LastBarPosition() const;
    bool SawStatusLine(const std::wstring& text) const;
    // Milliseconds since the start at which `text` was first seen; -1 if never.
    long long FirstSeenMs(const std::wstring& text) const;
    ULONGLONG ElapsedMs() const { return GetTickCount64() - startMs_; }

    bool WaitForStatusLine(const std::wstring& text, unsigned timeoutMs) const;
    bool SawMessageBox(HWND box) const;
    bool WaitForBarPosition(int position, unsigned timeoutMs) const;
    // Waits until the bar shows something other than `position`.
    bool WaitForBarChange(int position, unsigned timeoutMs) const;

private:
    void Run();
    void Record(Observation observation);

    RemoteDialog dialog_;
    DWORD processId_;
    std::function<void(const Observation&)> onChange_;
    ULONGLONG startMs_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<Observation> observations_;
    std::thread thread_;
};

std::string Describe(const Observation& observation);

}  // namespace reflasher::e2e
