#include "update/FirmwareFileReport.h"

#include "firmware/ImageFaultText.h"
#include "update/ResultMessages.h"

namespace reflasher {
namespace {

FirmwareFileReport Refused(FirmwareFileRefusal refusal) {
    FirmwareFileReport check;
    check.refusal = refusal;
    return check;
}

}  // namespace

FirmwareFileReport CheckFirmwareFile(FileOpener& files, const std::wstring& path,
                                     Allocator& allocator) {
    const std::unique_ptr<FirmwareFile> file = files.OpenExisting(path);
    if (!file) return Refused(FirmwareFileRefusal::CantOpen);
    std::uint64_t length = 0;
    if (!file->Length(&length)) return Refused(FirmwareFileRefusal::CantRead);
    if (length > kLargestFirmwareFile) return Refused(FirmwareFileRefusal::TooLarge);

    FirmwareFileReport check;
    check.bytes.size = static_cast<std::size_t>(length);
    check.bytes.data = allocator.Allocate(check.bytes.size);
    if (!check.bytes.data) return Refused(FirmwareFileRefusal::NoMemory);
    // One read of the whole file; no further than the length taken, and a read that
    // comes short is no file we can vouch for.
    std::size_t got = 0;
    if (!file->Read(check.bytes.data.get(), check.bytes.size, &got) || got != check.bytes.size) {
        return Refused(FirmwareFileRefusal::CantRead);
    }
    firmware::FirmwareImageReader reader;
    reader.Feed(check.bytes.data.get(), check.bytes.size);
    check.image = reader.Finish();
    if (!check.image.Usable()) {
        check.refusal = FirmwareFileRefusal::NotFirmware;
        check.bytes = FirmwareFileBytes{};
    }
    return check;
}

std::wstring FirmwareFileRefusalText(const FirmwareFileReport& check) {
    const std::wstring notFirmware = L"The chosen file is not firmware for this printer!\n";
    const std::wstring chooseAgain = L"\nPlease choose the right firmware file with Browse.";
    switch (check.refusal) {
        case FirmwareFileRefusal::None: return std::wstring();
        case FirmwareFileRefusal::CantOpen:
            return L"The firmware file could not be opened!\nIt may have been moved or deleted, "
                   L"or another program\nmay be using it. Please close that program,\nor choose "
                   L"the file again with Browse.";
        case FirmwareFileRefusal::CantRead:
            return L"The firmware file could not be read!\nPlease choose the file again with Browse.";
        case FirmwareFileRefusal::NoMemory: return FileAllocationFailedMessage().text;
        case FirmwareFileRefusal::TooLarge:
            return notFirmware + L"It is larger than 64 MB, far too large to be firmware." + chooseAgain;
        case FirmwareFileRefusal::NotFirmware: {
            // The reader's words are plain ASCII.
            const std::string fault = firmware::ImageFaultText(check.image);
            return notFirmware + std::wstring(fault.begin(), fault.end()) + chooseAgain;
        }
    }
    return notFirmware + chooseAgain;
}

}  // namespace reflasher
