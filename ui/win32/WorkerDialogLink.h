// The side of the main dialog that an update run's worker thread calls, as an
// object of its own that the worker owns (in its UpdateThreadArgument): the dialog's
// window handles, taken when the run starts. It reaches nothing of the dialog object,
// only its windows, by messages: once the dialog is gone they go nowhere.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Controls.h"
#include "framework/Wnd.h"
#include "update/DialogRequests.h"

// Sent to the dialog when the embosser's work in the run is over.
constexpr UINT kDeviceWorkEnded = WM_APP + 1;
// Sent to the dialog right before a run's message box is shown; wParam is true
// for an Error box.
constexpr UINT kRunMessageComing = WM_APP + 2;
// Posted to the dialog once the run is over, its last box closed.
constexpr UINT kRunEnded = WM_APP + 3;
// Sent to the dialog with a new status line; lParam points to its text (a
// std::wstring), which the dialog's thread assigns to statusText: it alone writes it.
constexpr UINT kSetStatusLine = WM_APP + 4;

// The requests one run makes of the dialog, carried out through the dialog's
// window handles.
class WorkerDialogLink : public reflasher::DialogRequests {
public:
    explicit WorkerDialogLink(HWND dialog);
    // Freed by the worker after the busy flag is cleared: tells the dialog, if it is
    // still there, that the run is over.
    ~WorkerDialogLink() override;

    // Every control change is a message sent to the control, which the dialog
    // thread carries out in its modal loop.
    void SetProgressRange(int lower, int upper) override;
    void SetProgressPos(int position) override;
    void SetStatusLine(const std::wstring& text) override;
    void RepaintDialog() override;
    void RepaintProgressBar() override;
    void ShowMessage(const std::wstring& text, const std::wstring& caption,
                     reflasher::MessageIcon icon) override;
    void DeviceWorkEnded() override;

private:
    const HWND dialogWindow_;
    CWnd dialog_;
    CProgressCtrl progressBar_;
};
