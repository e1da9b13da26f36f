#include "tests/wine/support/RemoteDialog.h"

#include <commctrl.h>

#include "resources/resource.h"
#include "tests/wine/support/Windows.h"

namespace reflasher::e2e {

std::wstring RemoteDialog::Caption() const { return WindowText(dialog_); }

std::wstring RemoteDialog::ControlText(int id) const { return WindowText(Control(id)); }

std::optional<std::wstring> RemoteDialog::TryControlText(int id) const {
    return TryWindowText(Control(id));
}

bool RemoteDialog::ControlVisible(int id) const {
    const HWND control = Control(id);
    return control != nullptr && IsWindowVisible(control);
}

bool RemoteDialog::ControlEnabled(int id) const {
    const HWND control = Control(id);
    return control != nullptr && IsWindowEnabled(control);
}

int RemoteDialog::ProgressPos() const {
    bool ok = false;
    const LRESULT position = SendWithTimeout(Control(IDC_PROGRESS), PBM_GETPOS, 0, 0, &ok);
    return ok ? static_cast<int>(position) : -1;
}

std::vector<std::wstring> RemoteDialog::ComboLines() const {
    return e2e::ComboLines(Control(IDC_PRINTER_COMBO));
}

int RemoteDialog::ComboSelection() const {
    return static_cast<int>(SendWithTimeout(Control(IDC_PRINTER_COMBO), CB_GETCURSEL, 0, 0));
}

bool RemoteDialog::ClickButton(int id) const {
    return PostMessageW(Control(id), BM_CLICK, 0, 0) != FALSE;
}

bool RemoteDialog::PostCommand(int id, int notification) const {
    return PostMessageW(dialog_, WM_COMMAND, MAKEWPARAM(id, notification),
                        reinterpret_cast<LPARAM>(Control(id))) != FALSE;
}

bool RemoteDialog::ChooseComboLine(int index) const {
    // CB_SETCURSEL changes the selection silently; a user's choice also notifies the dialog.
    bool ok = false;
    const LRESULT selected = SendWithTimeout(Control(IDC_PRINTER_COMBO), CB_SETCURSEL,
                                             static_cast<WPARAM>(index), 0, &ok);
    return ok && selected == index && PostCommand(IDC_PRINTER_COMBO, CBN_SELCHANGE);
}

bool RemoteDialog::PostSysCommand(WPARAM command) const {
    return PostMessageW(dialog_, WM_SYSCOMMAND, command, 0) != FALSE;
}

bool RemoteDialog::PostClose() const { return PostMessageW(dialog_, WM_CLOSE, 0, 0) != FALSE; }

LRESULT RemoteDialog::QueryEndSession() const {
    bool answered = false;
    const LRESULT result = SendWithTimeout(dialog_, WM_QUERYENDSESSION, 0, 0, &answered);
    return answered ? result : -1;
}

bool RemoteDialog::PressKey(UINT virtualKey) const {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    HWND target = dialog_;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(dialog_, nullptr), &thread) &&
        thread.hwndFocus != nullptr) {
        target = thread.hwndFocus;
    }
    // Posted into the queue, the key passes through the modal loop's dialog
    // manager, which turns Escape into IDCANCEL and Enter into IDOK.
    return PostKey(target, virtualKey);
}

}  // namespace reflasher::e2e
