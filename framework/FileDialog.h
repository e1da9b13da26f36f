// CFileDialog: the common "Open" dialog.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "framework/Wnd.h"

class CFileDialog {
public:
    // `filter` is written with bars: "Text (*.txt)|*.txt|All Files (*.*)|*.*||"; the first
    // entry is selected. `flags` are OFN_ flags; the newer Explorer style is always added.
    CFileDialog(const wchar_t* defaultExtension, const wchar_t* fileName, DWORD flags,
                const wchar_t* filter, CWnd* parent);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK when the user chose a file, IDCANCEL otherwise.
    INT_PTR DoModal();
    // The chosen file's full path (after IDOK).
    std::wstring GetPathName() const;

    // The bar-separated filter as the dialog takes it: each bar a zero, ending in two zeros.
    static std::wstring ZeroSeparatedFilter(const wchar_t* barSeparated);

    // What DoModal passes to GetOpenFileNameW; points into this object.
    const OPENFILENAMEW& Parameters() const { return ofn_; }

private:
    // Empty when it can't be read.
    static std::wstring CurrentFolder();

    std::wstring filter_;
    std::wstring defaultExtension_;
    std::vector<wchar_t> file_;  // in: the initial name; out: the chosen path
    OPENFILENAMEW ofn_{};
};
