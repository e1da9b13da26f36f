// The program's main dialog seen from the test: controls read by id, clicks and
// choices made the way the dialog manager would deliver them (posted messages,
// so the test never waits on a message box the click opens).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace reflasher::e2e {

class RemoteDialog {
public:
    explicit RemoteDialog(HWND dialog = nullptr) : dialog_(dialog) {}

    HWND Window() const { return dialog_; }
    bool Exists() const { return dialog_ != nullptr && IsWindow(dialog_); }
    bool Visible() const { return Exists() && IsWindowVisible(dialog_); }
    HWND Control(int id) const { return GetDlgItem(dialog_, id); }

    std::wstring Caption() const;
    std::wstring ControlText(int id) const;
    // Empty when the control can't be read (as opposed to an empty text).
    std::optional<std::wstring> TryControlText(int id) const;
    bool ControlVisible(int id) const;
    bool ControlEnabled(int id) const;
    // -1 when the bar can't be read.
    int ProgressPos() const;
    std::vector<std::wstring> ComboLines() const;
    int ComboSelection() const;

    // A button pressed: BM_CLICK makes the button itself report BN_CLICKED.
    bool ClickButton(int id) const;
    // The notification the dialog gets from control `id`, without the control.
    bool PostCommand(int id, int notification = BN_CLICKED) const;
    // Selects line `index` as the user would: the list changes, then the dialog hears of it.
    bool ChooseComboLine(int index) const;
    bool PostSysCommand(WPARAM command) const;
    bool PostClose() const;
    // A key pressed and released where the keyboard focus is (the dialog if it has none).
    bool PressKey(UINT virtualKey) const;
    // WM_QUERYENDSESSION as Windows sends it at shutdown: TRUE lets the session end.
    // -1 when the dialog didn't answer in time (as with a box of its own inside the query).
    LRESULT QueryEndSession() const;

private:
    HWND dialog_;
};

}  // namespace reflasher::e2e
