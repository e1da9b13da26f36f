#include "update/EmbosserLock.h"

#include "device/AsciiCase.h"

namespace reflasher {

std::wstring EmbosserLockName(const std::wstring& port) {
    std::wstring name = L"Reflasher.Embosser.";
    for (const wchar_t c : port) {
        if (c == L'\\') {
            name += L"%5C";
        } else if (c == L'%') {
            name += L"%25";  // so that an escape can't be mistaken for a port's own text
        } else {
            name += AsciiUpper(c);
        }
    }
    return name;
}

}  // namespace reflasher
