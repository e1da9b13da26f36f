#include "framework/FileDialog.h"

#include <algorithm>

#include "win32/SystemLibrary.h"
#include "framework/WinApp.h"

namespace {
// Room for the longest path Windows has, so no choice is refused for its length.
constexpr std::size_t kPathCapacity = 32768;
}

CFileDialog::CFileDialog(const wchar_t* defaultExtension, const wchar_t* fileName, DWORD flags,
                         const wchar_t* filter, CWnd* parent)
    : filter_(ZeroSeparatedFilter(filter)),
      defaultExtension_(defaultExtension != nullptr ? defaultExtension : L""),
      file_(kPathCapacity, L'\0') {
    if (fileName != nullptr) {
        const std::wstring initial(fileName);
        std::copy_n(initial.begin(), std::min(initial.size(), kPathCapacity - 1), file_.begin());
    }
    ofn_.lStructSize = sizeof ofn_;
    ofn_.hwndOwner = parent != nullptr ? parent->GetSafeHwnd() : nullptr;
    ofn_.hInstance = AfxGetResourceHandle();
    ofn_.lpstrFilter = filter_.empty() ? nullptr : filter_.c_str();
    ofn_.nFilterIndex = 1;
    ofn_.lpstrFile = file_.data();
    ofn_.nMaxFile = static_cast<DWORD>(file_.size());
    ofn_.lpstrDefExt = defaultExtension_.empty() ? nullptr : defaultExtension_.c_str();
    // OFN_NOCHANGEDIR keeps the current folder for the dialogs that honour it;
    // DoModal puts it back for the Open dialog, which doesn't.
    ofn_.Flags = flags | OFN_EXPLORER | OFN_NOCHANGEDIR;
}

std::wstring CFileDialog::ZeroSeparatedFilter(const wchar_t* barSeparated) {
    if (barSeparated == nullptr || *barSeparated == L'\0') return std::wstring();
    std::wstring filter(barSeparated);
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    // The list ends in two zeros; the string's own terminator supplies one of them.
    if (filter.back() != L'\0') filter.push_back(L'\0');
    return filter;
}

INT_PTR CFileDialog::DoModal() {
    // comdlg32 only when a dialog is first shown: Wine's imports winspool.drv, which
    // would otherwise be looked for beside the program before wWinMain runs.
    static const reflasher::SystemLibrary comdlg32(L"comdlg32.dll");
    static const auto getOpenFileName = REFLASHER_SYSTEM_FUNCTION(comdlg32, GetOpenFileNameW);
    // Without the dialog no file can be chosen, as if the user cancelled.
    if (getOpenFileName == nullptr) return IDCANCEL;
    // An Open dialog ignores OFN_NOCHANGEDIR and leaves the current folder where
    // the user went, which would keep a USB stick from being ejected: it is put
    // back here.
    const std::wstring current = CurrentFolder();
    const bool chosen = getOpenFileName(&ofn_) != FALSE;
    if (!current.empty()) SetCurrentDirectoryW(current.c_str());
    return chosen ? IDOK : IDCANCEL;
}

std::wstring CFileDialog::CurrentFolder() {
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    if (size == 0) return std::wstring();
    std::vector<wchar_t> folder(size, L'\0');
    const DWORD length = GetCurrentDirectoryW(size, folder.data());
    return length > 0 && length < size ? std::wstring(folder.data(), length) : std::wstring();
}

std::wstring CFileDialog::GetPathName() const { return std::wstring(file_.data()); }
