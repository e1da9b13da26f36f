// The dialog's taskbar button as a view of the run (ITaskbarList3): the progress
// of the bar while a run works, the error state while an Error result waits,
// nothing once the run is over. Windows tells the window that its button exists
// with the registered message "TaskbarButtonCreated" (again after Explorer
// restarts); before that, and where the taskbar can't be reached at all (Wine,
// for one), every call does nothing and tells nobody.
#pragma once

#include <windows.h>

class TaskbarButton {
public:
    enum class State { None, Progress, Error };

    TaskbarButton() = default;
    ~TaskbarButton() { Disconnect(); }
    TaskbarButton(const TaskbarButton&) = delete;
    TaskbarButton& operator=(const TaskbarButton&) = delete;

    // The registered message's id (0 if Windows could not register it).
    static UINT CreatedMessage();

    // From OnInitDialog: lets the message through to `window` even when the
    // program runs elevated and Explorer does not, and watches `progressBar`:
    // while a run is shown, the button follows each change of the bar.
    void Prepare(HWND window, HWND progressBar);
    // On "TaskbarButtonCreated": (re)connects and shows the state asked for so far.
    void Connect();
    // From WM_DESTROY.
    void Disconnect();

    // A run begins: the button follows the bar from now on.
    void ShowRun();
    void ShowProgress(int position, int lower, int upper);
    void ShowError();
    // The run is over: nothing, and the bar is no longer followed.
    void ShowNothing();

    // What the button was last asked to show, whether or not the taskbar took it.
    State Shown() const { return state_; }
    int Completed() const { return completed_; }
    int Total() const { return total_; }

private:
    static LRESULT CALLBACK WatchProgressBar(HWND bar, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR, DWORD_PTR self);
    void Apply();

    HWND window_ = nullptr;
    struct ITaskbarList3* taskbar_ = nullptr;
    State state_ = State::None;
    int completed_ = 0;
    int total_ = 0;
};
