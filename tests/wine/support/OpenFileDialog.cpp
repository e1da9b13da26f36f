#include "tests/wine/support/OpenFileDialog.h"

#include "tests/wine/support/Waiting.h"
#include "tests/wine/support/Windows.h"

namespace reflasher::e2e {
namespace {

// The file name field of the Explorer-style dialog: combo box cmb13 with its
// edit, or edit edt1 in older templates.
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;
constexpr int kFileTypeCombo = 0x470;

HWND FirstEditBelow(HWND parent) {
    for (HWND child : ChildWindows(parent)) {
        if (ClassNameOf(child) == L"Edit") return child;
        if (HWND inner = FirstEditBelow(child)) return inner;
    }
    return nullptr;
}

HWND FileNameField(HWND dialog) {
    if (HWND combo = GetDlgItem(dialog, kFileNameCombo)) {
        if (HWND edit = FirstEditBelow(combo)) return edit;
    }
    if (HWND edit = GetDlgItem(dialog, kFileNameEdit)) return edit;
    return FirstEditBelow(dialog);
}

}  // namespace

OpenDialogSeen WaitForOpenDialog(DWORD processId, unsigned timeoutMs) {
    OpenDialogSeen seen;
    WaitUntil(
        [&] {
            for (const TopWindow& window : VisibleTopLevelWindows(processId)) {
                if (window.className != L"#32770") continue;
                // The main dialog's combo box has an edit too, but no file name field.
                const bool fileDialog = GetDlgItem(window.window, kFileNameCombo) != nullptr ||
                                        GetDlgItem(window.window, kFileNameEdit) != nullptr;
                const HWND field = fileDialog ? FileNameField(window.window) : nullptr;
                if (field == nullptr) continue;
                const HWND types = GetDlgItem(window.window, kFileTypeCombo);
                seen = OpenDialogSeen{window.window,
                                      window.owner,
                                      window.caption,
                                      field,
                                      WindowText(field),
                                      ComboLines(types),
                                      static_cast<int>(SendWithTimeout(types, CB_GETCURSEL, 0, 0))};
                return true;
            }
            return false;
        },
        timeoutMs);
    return seen;
}

bool ChooseFile(const OpenDialogSeen& dialog, const std::wstring& windowsPath, unsigned timeoutMs) {
    bool ok = false;
    SendWithTimeout(dialog.fileNameField, WM_SETTEXT, 0,
                    reinterpret_cast<LPARAM>(windowsPath.c_str()), &ok);
    if (!ok || WindowText(dialog.fileNameField) != windowsPath) return false;
    const HWND open = GetDlgItem(dialog.window, IDOK);
    const bool pressed = open != nullptr
                             ? PostMessageW(open, BM_CLICK, 0, 0) != FALSE
                             : PostMessageW(dialog.window, WM_COMMAND, IDOK, 0) != FALSE;
    return pressed && WaitForWindowGone(dialog.window, timeoutMs);
}

}  // namespace reflasher::e2e
