#include "ui/win32/TaskbarButton.h"

// (windows.h first: the others build on it)
#include <commctrl.h>
#include <shobjidl.h>

namespace {

// Written out, as the headers only declare them.
constexpr GUID kTaskbarListClass = {
    0x56fdf344, 0xfd6d, 0x11d0, {0x95, 0x8a, 0x00, 0x60, 0x97, 0xc9, 0xa0, 0x90}};
constexpr GUID kTaskbarList3Interface = {
    0xea1afb91, 0x9e28, 0x4b86, {0x90, 0xe9, 0x9e, 0x9f, 0x8a, 0x5e, 0xef, 0xaf}};

constexpr UINT_PTR kProgressSubclass = 3;

}  // namespace

UINT TaskbarButton::CreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarButtonCreated");
    return message;
}

void TaskbarButton::Prepare(HWND window, HWND progressBar) {
    window_ = window;
    const UINT created = CreatedMessage();
    if (created != 0) ChangeWindowMessageFilterEx(window, created, MSGFLT_ALLOW, nullptr);
    if (progressBar != nullptr) {
        SetWindowSubclass(progressBar, &TaskbarButton::WatchProgressBar, kProgressSubclass,
                          reinterpret_cast<DWORD_PTR>(this));
    }
}

LRESULT CALLBACK TaskbarButton::WatchProgressBar(HWND bar, UINT message, WPARAM wParam,
                                                 LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(bar, &TaskbarButton::WatchProgressBar, kProgressSubclass);
        return DefSubclassProc(bar, message, wParam, lParam);
    }
    const LRESULT result = DefSubclassProc(bar, message, wParam, lParam);
    auto* button = reinterpret_cast<TaskbarButton*>(self);
    // The worker moves the bar by messages that this (the dialog's) thread carries
    // out, so the button is only ever touched here.
    if (button->state_ != State::None &&
        (message == PBM_SETPOS || message == PBM_SETRANGE || message == PBM_SETRANGE32 ||
         message == PBM_DELTAPOS || message == PBM_STEPIT)) {
        PBRANGE range{};
        DefSubclassProc(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        const int position = static_cast<int>(DefSubclassProc(bar, PBM_GETPOS, 0, 0));
        button->ShowProgress(position, range.iLow, range.iHigh);
    }
    return result;
}

void TaskbarButton::Connect() {
    Disconnect();
    if (window_ == nullptr) return;
    void* taskbar = nullptr;
    // The class's server is registered by its full path in the system folder.
    if (FAILED(CoCreateInstance(kTaskbarListClass, nullptr, CLSCTX_INPROC_SERVER,
                                kTaskbarList3Interface, &taskbar))) {
        return;
    }
    taskbar_ = static_cast<ITaskbarList3*>(taskbar);
    if (FAILED(taskbar_->HrInit())) {
        Disconnect();
        return;
    }
    Apply();
}

void TaskbarButton::Disconnect() {
    if (taskbar_ != nullptr) taskbar_->Release();
    taskbar_ = nullptr;
}

void TaskbarButton::ShowRun() {
    state_ = State::Progress;
    completed_ = total_ = 0;
    Apply();
}

void TaskbarButton::ShowProgress(int position, int lower, int upper) {
    // An error waiting to be read stays shown; the bar still moves under it.
    if (state_ != State::Error) state_ = State::Progress;
    total_ = upper > lower ? upper - lower : 0;
    completed_ = position < lower ? 0 : position > upper ? total_ : position - lower;
    Apply();
}

void TaskbarButton::ShowError() {
    state_ = State::Error;
    Apply();
}

void TaskbarButton::ShowNothing() {
    state_ = State::None;
    completed_ = total_ = 0;
    Apply();
}

void TaskbarButton::Apply() {
    if (taskbar_ == nullptr) return;
    // Failures change nothing of the run: the button simply shows less.
    if (state_ == State::None) {
        taskbar_->SetProgressState(window_, TBPF_NOPROGRESS);
        return;
    }
    taskbar_->SetProgressState(window_, state_ == State::Error ? TBPF_ERROR : TBPF_NORMAL);
    if (total_ > 0) {
        taskbar_->SetProgressValue(window_, static_cast<ULONGLONG>(completed_),
                                   static_cast<ULONGLONG>(total_));
    } else if (state_ == State::Error) {
        taskbar_->SetProgressValue(window_, 1, 1);  // a bar at 0 would hide the red
    }
}
