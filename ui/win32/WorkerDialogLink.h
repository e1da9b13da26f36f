// The side of the main dialog that an update run's worker thread calls, as an
// object of its own that the worker owns: the dialog's window handles and the run's
// choices, copied when the run starts. It reaches nothing of the dialog object, only
// its windows, by messages: once the dialog is gone they go nowhere.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Controls.h"
#include "framework/Wnd.h"
#include "ui/win32/DialogServices.h"
#include "update/UpdateThreadProc.h"

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

// What one run's worker owns: the requests the run makes of the dialog, carried
// out through the dialog's window handles, with copies of the dialog's services and
// the run's choices taken when the run starts.
class WorkerDialogLink : public reflasher::DialogRequests, public reflasher::UpdateThreadArgument {
public:
    // `chosenFile`: the file's bytes as read and checked at Start (empty with an
    // embedded image).
    WorkerDialogLink(const DialogServices& services, HWND dialog, std::wstring printer,
                     reflasher::FirmwareFileBytes chosenFile);
    // Freed by the worker after the busy flag is cleared: tells the dialog, if it is
    // still there, that the run is over.
    ~WorkerDialogLink() override;
    reflasher::UpdateContext& Context() override { return context_; }

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
    std::wstring SelectedPrinter() const override { return printer_; }

private:
    const HWND dialogWindow_;
    CWnd dialog_;
    CProgressCtrl progressBar_;
    const std::wstring printer_;
    // Copies: the dialog's may be gone before the worker frees the run.
    const reflasher::UpdateServices services_;
    reflasher::FirmwareFileBytes chosenFile_;
    reflasher::UpdateContext context_;
};
