#include "ui/win32/WorkerDialogLink.h"

#include "resources/resource.h"

WorkerDialogLink::WorkerDialogLink(HWND dialog) : dialogWindow_(dialog) {
    dialog_.Bind(dialog);
    progressBar_.Bind(::GetDlgItem(dialog, IDC_PROGRESS));
}

void WorkerDialogLink::SetProgressRange(int lower, int upper) {
    progressBar_.SetRange(static_cast<short>(lower), static_cast<short>(upper));
}

void WorkerDialogLink::SetProgressPos(int position) { progressBar_.SetPos(position); }

void WorkerDialogLink::SetStatusLine(const std::wstring& text) {
    // The dialog's thread may read statusText back at any time (data exchange, when
    // Enter leaves the program after a hang), so it alone writes it. Sent: `text`
    // lives until the dialog is done with it.
    SendMessageW(dialog_.GetSafeHwnd(), kSetStatusLine, 0, reinterpret_cast<LPARAM>(&text));
}

void WorkerDialogLink::RepaintDialog() {
    dialog_.Invalidate(false);
    dialog_.UpdateWindow();
}

void WorkerDialogLink::RepaintProgressBar() {
    progressBar_.Invalidate(true);
    progressBar_.UpdateWindow();
}

void WorkerDialogLink::ShowMessage(const std::wstring& text, const std::wstring& caption,
                                   reflasher::MessageIcon icon) {
    const bool error = icon == reflasher::MessageIcon::Warning;
    const UINT iconType = error ? MB_ICONWARNING : MB_ICONINFORMATION;
    // The dialog marks its taskbar button first, since the box may come up behind
    // another program's window.
    SendMessageW(dialog_.GetSafeHwnd(), kRunMessageComing, error, 0);
    dialog_.ShowMessageBox(text, caption, MB_OK | iconType);
}

void WorkerDialogLink::DeviceWorkEnded() {
    // The session-end block and the embosser's lock belong to the dialog's thread.
    // Sent, not posted: both are let go before the result is shown.
    SendMessageW(dialog_.GetSafeHwnd(), kDeviceWorkEnded, 0, 0);
}

WorkerDialogLink::~WorkerDialogLink() {
    // Posted: the dialog's thread may be waiting for nothing from us any more, and
    // a window that is gone simply doesn't get it.
    PostMessageW(dialogWindow_, kRunEnded, 0, 0);
}
