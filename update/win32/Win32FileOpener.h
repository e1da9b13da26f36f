// Firmware files through the Windows file API: opened read-only and shared with no one.
#pragma once

#include "update/FirmwareSources.h"

namespace reflasher {

class Win32FileOpener : public FileOpener {
public:
    std::unique_ptr<FirmwareFile> OpenExisting(const std::wstring& path) override;
};

}  // namespace reflasher
