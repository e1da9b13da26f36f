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
#include "update/UpdateWorker.h"

// Sent to the dialog when the embosser's work in the run is over.
constexpr UINT kDeviceWorkEnded = WM_APP + 1;

class WorkerDialogLink : public reflasher::UpdateDialog {
public:
    // `statusText` is the dialog's member, which the run keeps equal to line 1012.
    WorkerDialogLink(HWND dialog, std::wstring& statusText, std::wstring printer,
                     std::wstring firmwarePath);

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
    std::wstring FirmwarePath() const override { return firmwarePath_; }

private:
    CWnd dialog_;
    CProgressCtrl progressBar_;
    std::wstring& statusText_;
    const std::wstring printer_;
    const std::wstring firmwarePath_;
};

// Everything one run's worker takes with it.
class DialogWorkerRun : public reflasher::WorkerRun {
public:
    DialogWorkerRun(const DialogServices& services, HWND dialog, std::wstring& statusText,
                    std::wstring printer, std::wstring firmwarePath);
    reflasher::UpdateContext& Context() override { return context_; }

private:
    WorkerDialogLink link_;
    reflasher::UpdateContext context_;
};
