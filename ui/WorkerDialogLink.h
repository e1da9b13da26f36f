// The side of the main dialog that an update run's worker thread calls, as an
// object of its own that the worker owns: the dialog's window handles and the run's
// choices, copied when the run starts. The worker frees it after clearing the busy
// flag, so nothing of the dialog object is reached once the dialog may be gone.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Controls.h"
#include "framework/Wnd.h"
#include "ui/DialogServices.h"
#include "update/UpdateThreadProc.h"

// Sent to the dialog when the embosser's work in the run is over.
constexpr UINT kDeviceWorkEnded = WM_APP + 1;
// Sent to the dialog right before a run's message box is shown; wParam is true
// for an Error box.
constexpr UINT kRunMessageComing = WM_APP + 2;
// Posted to the dialog once the run is over, its last box closed.
constexpr UINT kRunEnded = WM_APP + 3;

class WorkerDialogLink : public reflasher::UpdateDialog {
public:
    // `statusText` is the dialog's member, which the run keeps equal to the status line (IDC_STATUS_LINE).
    WorkerDialogLink(HWND dialog, std::wstring& statusText, std::wstring printer);

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
    CWnd dialog_;
    CProgressCtrl progressBar_;
    std::wstring& statusText_;
    const std::wstring printer_;
};

// Everything one run's worker takes with it.
class DialogWorkerRun : public reflasher::WorkerRun {
public:
    // `chosenFile`: the file's bytes as read and checked at Start (empty with an embedded image).
    DialogWorkerRun(const DialogServices& services, HWND dialog, std::wstring& statusText,
                    std::wstring printer, reflasher::FirmwareFileBytes chosenFile);
    // Freed by the worker after the busy flag is cleared: tells the dialog, if it is
    // still there, that the run is over.
    ~DialogWorkerRun() override;
    reflasher::UpdateContext& Context() override { return context_; }

private:
    const HWND dialog_;
    // Copies: the dialog's may be gone before the worker frees the run.
    const reflasher::UpdateServices services_;
    WorkerDialogLink link_;
    reflasher::FirmwareFileBytes chosenFile_;
    reflasher::UpdateContext context_;
};
