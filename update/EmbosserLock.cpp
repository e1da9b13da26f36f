#include "update/EmbosserLock.h"

namespace reflasher {

std::wstring EmbosserLockName(const std::wstring& printer) {
    std::wstring name = L"Reflasher.Embosser.";
    for (const wchar_t c : printer) {
        if (c >= L'a' && c <= L'z') {
            name += static_cast<wchar_t>(c - L'a' + L'A');
        } else if (c == L'\\') {
            name += L"%5C";
        } else if (c == L'%') {
            name += L"%25";  // so that an escape can't be mistaken for a printer's own text
        } else {
            name += c;
        }
    }
    return name;
}

}  // namespace reflasher
