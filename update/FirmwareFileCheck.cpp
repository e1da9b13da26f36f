#include "update/FirmwareFileCheck.h"

#include "firmware/ImageFaultText.h"
#include "update/ResultMessages.h"

namespace reflasher {
namespace {

FirmwareFileCheck Verdict(FirmwareFileVerdict verdict) {
    FirmwareFileCheck check;
    check.verdict = verdict;
    return check;
}

}  // namespace

FirmwareFileCheck CheckFirmwareFile(FileOpener& files, const std::wstring& path,
                                    Allocator& allocator) {
    const std::unique_ptr<FirmwareFile> file = files.OpenExisting(path);
    if (!file) return Verdict(FirmwareFileVerdict::CantOpen);
    std::uint64_t length = 0;
    if (!file->Length(&length)) return Verdict(FirmwareFileVerdict::CantRead);
    if (length > kLargestFirmwareFile) return Verdict(FirmwareFileVerdict::TooLarge);

    FirmwareFileCheck check;
    check.bytes.size = static_cast<std::size_t>(length);
    check.bytes.data = allocator.Allocate(check.bytes.size);
    if (!check.bytes.data) return Verdict(FirmwareFileVerdict::NoMemory);
    // One read of the whole file; no further than the length taken, and a read that
    // comes short is no file we can vouch for.
    std::size_t got = 0;
    if (!file->Read(check.bytes.data.get(), check.bytes.size, &got) || got != check.bytes.size) {
        return Verdict(FirmwareFileVerdict::CantRead);
    }
    firmware::FirmwareImageReader reader;
    reader.Feed(check.bytes.data.get(), check.bytes.size);
    check.image = reader.Finish();
    if (!check.image.Usable()) {
        check.verdict = FirmwareFileVerdict::NotFirmware;
        check.bytes = FirmwareFileBytes{};
    }
    return check;
}

std::wstring FirmwareFileRefusal(const FirmwareFileCheck& check) {
    const std::wstring notFirmware = L"The chosen file is not firmware for this printer!\n";
    const std::wstring chooseAgain = L"\nPlease choose the right firmware file with Browse.";
    switch (check.verdict) {
        case FirmwareFileVerdict::Usable: return std::wstring();
        case FirmwareFileVerdict::CantOpen:
            return L"The firmware file could not be opened!\nIt may have been moved or deleted, "
                   L"or another program\nmay be using it. Please close that program,\nor choose "
                   L"the file again with Browse.";
        case FirmwareFileVerdict::CantRead:
            return L"The firmware file could not be read!\nPlease choose the file again with Browse.";
        case FirmwareFileVerdict::NoMemory: return FileAllocationFailedMessage().text;
        case FirmwareFileVerdict::TooLarge:
            return notFirmware + L"It is larger than 64 MB, far too large to be firmware." + chooseAgain;
        case FirmwareFileVerdict::NotFirmware: {
            // The reader's words are plain ASCII.
            const std::string fault = firmware::ImageFaultText(check.image);
            return notFirmware + std::wstring(fault.begin(), fault.end()) + chooseAgain;
        }
    }
    return notFirmware + chooseAgain;
}

}  // namespace reflasher
