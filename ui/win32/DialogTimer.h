// The run hold's timer: a WM_TIMER of the dialog's own window, which the dialog
// passes to RunHold::Tick.
#pragma once

#include <windows.h>

#include "framework/Wnd.h"
#include "ui/RunHold.h"

class DialogTimer : public reflasher::WatchTimer {
public:
    DialogTimer(const CWnd& window, UINT_PTR id, UINT periodMs)
        : window_(window), id_(id), periodMs_(periodMs) {}

    UINT_PTR Id() const { return id_; }
    void Start() override { ::SetTimer(window_.GetSafeHwnd(), id_, periodMs_, nullptr); }
    void Stop() override { ::KillTimer(window_.GetSafeHwnd(), id_); }

private:
    const CWnd& window_;
    const UINT_PTR id_;
    const UINT periodMs_;
};
