#include "update/win32/Win32EmbeddedImageSource.h"

#include <windows.h>

#include "resources/resource.h"

namespace reflasher {

namespace {

// "#204" makes the lookup take the name as a numeric identifier, IDR_FIRMWARE_IMAGE's.
constexpr wchar_t kImageName[] = L"#204";
static_assert(IDR_FIRMWARE_IMAGE == 204, "kImageName spells the image's identifier");

}  // namespace

bool Win32EmbeddedImageSource::Find(FirmwareImage* image) const {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC info = FindResourceW(module, kImageName, L"RT_BINARY");
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
