// The busy animation's thread (BusyAnimation) and its stop. It is started at the
// end of OnInitDialog and stopped when the dialog is destroyed, so it never
// touches the busy picture (IDC_BUSY_PICTURE) once the dialog has gone.
#pragma once

#include <windows.h>

#include <optional>

#include "win32/Handles.h"
#include "framework/Controls.h"
#include "ui/BusyFrames.h"

class BusyAnimator {
public:
    BusyAnimator() = default;
    ~BusyAnimator() { Stop(); }
    BusyAnimator(const BusyAnimator&) = delete;
    BusyAnimator& operator=(const BusyAnimator&) = delete;

    // Starts the thread at normal priority for `picture`, with frames for `dpi` in
    // `ink`'s colours (none: their own); false when it couldn't start (the dialog then
    // simply shows no animation).
    bool Start(const CStatic& picture, int dpi = 96,
               const std::optional<reflasher::PictureInk>& ink = std::nullopt);
    // The window is now on a monitor of `dpi`, or high contrast has changed: the
    // frames follow within one pause.
    void SetDpi(int dpi) { look_.SetDpi(dpi); }
    void SetInk(const std::optional<reflasher::PictureInk>& ink) { look_.SetInk(ink); }
    // From the dialog's thread while its controls still exist (WM_DESTROY): returns once
    // the thread has taken its picture out of the control, released its frames and ended.
    void Stop();

private:
    static unsigned __stdcall BusyAnimation(void* animator);

    const CStatic* picture_ = nullptr;
    reflasher::PictureLook look_;
    reflasher::UniqueKernelHandle stop_;
    reflasher::UniqueKernelHandle thread_;
};
