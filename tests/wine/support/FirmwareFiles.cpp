#include "tests/wine/support/FirmwareFiles.h"

#include "sim/SyntheticFirmware.h"
#include "tests/wine/support/E2eEnvironment.h"
#include "tests/wine/support/Files.h"

namespace reflasher::e2e {

std::vector<unsigned char> ChosenFirmwareImage() {
    sim::FirmwareLayout layout = sim::StoredImageLayout();
    layout.version = "00800082";
    layout.seed = 0x2468ACEu;
    const std::string text = sim::GenerateFirmwareImage(layout);
    return std::vector<unsigned char>(text.begin(), text.end());
}

std::wstring WriteChosenFirmware(const std::wstring& workFolderUnix,
                                 const std::vector<unsigned char>& image) {
    const std::wstring folder = WindowsPath(workFolderUnix) + L"\\Firmware Updates";
    const std::wstring path = folder + L"\\Dovrex 8.0.82 update.hex";
    return MakeFolders(folder) && WriteFileBytes(path, image) ? path : std::wstring();
}

}  // namespace reflasher::e2e
