// The busy animation's thread (BusyAnimation) and its stop. It is started at the
// end of OnInitDialog and stopped when the dialog is destroyed, so it never
// touches the busy picture (IDC_BUSY_PICTURE) once the dialog has gone.
#pragma once

#include <windows.h>

#include <atomic>

#include "win32/Handles.h"
#include "framework/Controls.h"

class BusyAnimator {
public:
    BusyAnimator() = default;
    ~BusyAnimator() { Stop(); }
    BusyAnimator(const BusyAnimator&) = delete;
    BusyAnimator& operator=(const BusyAnimator&) = delete;

    // Starts the thread at normal priority for `picture`, with frames for `dpi`; false
    // when it couldn't start (the dialog then simply shows no animation).
    bool Start(const CStatic& picture, int dpi = 96);
    // The window is now on a monitor of `dpi`: the frames follow within one pause.
    void SetDpi(int dpi) { dpi_ = dpi; }
    // From the dialog's thread while its controls still exist (WM_DESTROY): returns once
    // the thread has taken its picture out of the control, released its frames and ended.
    void Stop();

private:
    static unsigned __stdcall BusyAnimation(void* animator);

    const CStatic* picture_ = nullptr;
    std::atomic<int> dpi_{96};
    reflasher::UniqueKernelHandle stop_;
    reflasher::UniqueKernelHandle thread_;
};
