#include "update/FirmwareFileCheck.h"

#include <algorithm>

#include "firmware/ImageFaultText.h"

namespace reflasher {
namespace {

// Read in pieces: the reader needs no more, and a fault early on ends the reading.
constexpr std::size_t kReadPiece = 32 * 1024;

FirmwareFileCheck Verdict(FirmwareFileVerdict verdict) {
    FirmwareFileCheck check;
    check.verdict = verdict;
    return check;
}

}  // namespace

FirmwareFileCheck CheckFirmwareFile(FileOpener& files, const std::wstring& path) {
    const std::unique_ptr<FirmwareFile> file = files.OpenExisting(path);
    if (!file) return Verdict(FirmwareFileVerdict::CantOpen);
    std::uint64_t length = 0;
    if (!file->Length(&length)) return Verdict(FirmwareFileVerdict::CantRead);
    if (length > kLargestFirmwareFile) return Verdict(FirmwareFileVerdict::TooLarge);

    firmware::FirmwareImageReader reader;
    unsigned char piece[kReadPiece];
    // No further than the length taken, so a file that grows meanwhile can't keep us reading.
    for (std::uint64_t left = length; left > 0;) {
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(left, kReadPiece));
        std::size_t got = 0;
        if (!file->Read(piece, wanted, &got) || got > wanted) {
            return Verdict(FirmwareFileVerdict::CantRead);
        }
        if (got == 0) break;  // shorter than its length said: judge what is there
        left -= got;
        if (!reader.Feed(piece, got)) break;
    }
    FirmwareFileCheck check;
    check.image = reader.Finish();
    check.verdict = check.image.Usable() ? FirmwareFileVerdict::Usable : FirmwareFileVerdict::NotFirmware;
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
