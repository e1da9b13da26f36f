#include "framework/FileDialog.h"

#include <algorithm>

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
    ofn_.Flags = flags | OFN_EXPLORER;
}

std::wstring CFileDialog::ZeroSeparatedFilter(const wchar_t* barSeparated) {
    if (barSeparated == nullptr || *barSeparated == L'\0') return std::wstring();
    std::wstring filter(barSeparated);
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    // The list ends in two zeros; the string's own terminator supplies one of them.
    if (filter.back() != L'\0') filter.push_back(L'\0');
    return filter;
}

INT_PTR CFileDialog::DoModal() { return GetOpenFileNameW(&ofn_) ? IDOK : IDCANCEL; }

std::wstring CFileDialog::GetPathName() const { return std::wstring(file_.data()); }
