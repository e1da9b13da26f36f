#include "update/win32/Win32EmbeddedImageSource.h"

#include <windows.h>

#include <cwchar>

#include "resources/resource.h"

namespace reflasher {

bool Win32EmbeddedImageSource::Find(EmbeddedImage* image) const {
    // "#204" makes the lookup take the name as the numeric identifier 204.
    wchar_t name[16];
    std::swprintf(name, sizeof name / sizeof name[0], L"#%d", IDR_FIRMWARE_IMAGE);
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC info = FindResourceW(module, name, L"RT_BINARY");
    if (info == nullptr) return false;
    const HGLOBAL loaded = LoadResource(module, info);
    if (loaded == nullptr) return false;
    // Resource memory stays mapped for the module's lifetime; there is nothing to free.
    const void* data = LockResource(loaded);
    if (data == nullptr) return false;
    image->data = static_cast<const unsigned char*>(data);
    image->size = SizeofResource(module, info);
    return true;
}

}  // namespace reflasher
