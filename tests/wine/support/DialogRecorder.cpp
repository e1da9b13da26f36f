#include "tests/wine/support/DialogRecorder.h"

#include <cstdio>
#include <set>

#include "resources/resource.h"
#include "tests/wine/support/Waiting.h"
#include "tests/wine/support/Windows.h"

namespace reflasher::e2e {

DialogRecorder::DialogRecorder(RemoteDialog dialog, DWORD processId,
                               std::function<void(const Observation&)> onChange)
    : dialog_(dialog),
      processId_(processId),
      onChange_(std::move(onChange)),
      startMs_(GetTickCount64()) {
    thread_ = std::thread([this] { Run(); });
}

DialogRecorder::~DialogRecorder() { Stop(); }

void DialogRecorder::Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

void DialogRecorder::Record(Observation observation) {
    observation.atMs = ElapsedMs();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        observations_.push_back(observation);
    }
    if (onChange_) onChange_(observation);
}

void DialogRecorder::Run() {
    bool statusSeen = false;
    std::wstring status;
    int bar = -1;
    std::set<HWND> boxes;
    while (!stop_ && dialog_.Exists()) {
        const std::optional<std::wstring> nowStatus = dialog_.TryControlText(IDC_STATUS_LINE);
        const int nowBar = dialog_.ProgressPos();
        if (!dialog_.Exists()) break;  // a read from a window that just went away
        if (nowStatus && (!statusSeen || *nowStatus != status)) {
            Record(Observation{Observation::Kind::StatusLine, 0, *nowStatus, 0, nullptr});
            status = *nowStatus;
            statusSeen = true;
        }
        if (nowBar >= 0 && nowBar != bar) {
            Record(Observation{Observation::Kind::BarPosition, 0, std::wstring(), nowBar, nullptr});
            bar = nowBar;
        }

        std::set<HWND> nowBoxes;
        for (const MessageBoxSeen& box : VisibleMessageBoxes(processId_)) {
            nowBoxes.insert(box.window);
            if (boxes.count(box.window) == 0) {
                Record(Observation{Observation::Kind::MessageBoxShown, 0,
                                   box.caption + L": " + box.text, 0, box.window});
            }
        }
        for (HWND gone : boxes) {
            if (nowBoxes.count(gone) == 0)
                Record(Observation{Observation::Kind::MessageBoxGone, 0, L"", 0, gone});
        }
        boxes = nowBoxes;
        Sleep(kPollMs);
    }
}

std::vector<Observation> DialogRecorder::Observations() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return observations_;
}

std::vector<std::wstring> DialogRecorder::StatusLines() const {
    std::vector<std::wstring> lines;
    for (const Observation& seen : Observations()) {
        if (seen.kind == Observation::Kind::StatusLine &&
            (lines.empty() || lines.back() != seen.text)) {
            lines.push_back(seen.text);
        }
    }
    return lines;
}

std::vector<int> DialogRecorder::BarPositions() const {
    std::vector<int> positions;
    for (const Observation& seen : Observations()) {
        if (seen.kind == Observation::Kind::BarPosition &&
            (positions.empty() || positions.back() != seen.position)) {
            positions.push_back(seen.position);
        }
    }
    return positions;
}

std::wstring DialogRecorder::LastStatusLine() const {
    const auto lines = StatusLines();
    return lines.empty() ? std::wstring() : lines.back();
}

int DialogRecorder::LastBarPosition() const {
    const auto positions = BarPositions();
    return positions.empty() ? -1 : positions.back();
}

bool DialogRecorder::SawStatusLine(const std::wstring& text) const {
    return FirstSeenMs(text) >= 0;
}

long long DialogRecorder::FirstSeenMs(const std::wstring& text) const {
    for (const Observation& seen : Observations()) {
        if (seen.kind == Observation::Kind::StatusLine && seen.text == text) {
            return static_cast<long long>(seen.atMs);
        }
    }
    return -1;
}

bool DialogRecorder::WaitForStatusLine(const std::wstring& text, unsigned timeoutMs) const {
    return WaitUntil([&] { return SawStatusLine(text); }, timeoutMs);
}

bool DialogRecorder::SawMessageBox(HWND box) const {
    for (const Observation& seen : Observations()) {
        if (seen.kind == Observation::Kind::MessageBoxShown && seen.window == box) return true;
    }
    return false;
}

bool DialogRecorder::WaitForBarPosition(int position, unsigned timeoutMs) const {
    return WaitUntil([&] { return LastBarPosition() == position; }, timeoutMs);
}

bool DialogRecorder::WaitForBarChange(int position, unsigned timeoutMs) const {
    return WaitUntil([&] { return LastBarPosition() != position && LastBarPosition() >= 0; },
                     timeoutMs);
}

std::string Describe(const Observation& observation) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%6.2f s  ", static_cast<double>(observation.atMs) / 1000.0);
    switch (observation.kind) {
        case Observation::Kind::StatusLine:
            return stamp + ("status line \"" + Printable(observation.text) + "\"");
        case Observation::Kind::BarPosition:
            return stamp + ("bar " + std::to_string(observation.position));
        case Observation::Kind::MessageBoxShown:
            return stamp + ("message box " + Printable(observation.text));
        case Observation::Kind::MessageBoxGone:
            return stamp + std::string("message box closed");
    }
    return stamp;
}

}  // namespace reflasher::e2e
