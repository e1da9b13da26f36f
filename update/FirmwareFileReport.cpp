#include "update/FirmwareFileReport.h"

#include "firmware/ImageFaultText.h"
#include "texts/ProgramTexts.h"

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
    check.bytes.owned = allocator.Allocate(check.bytes.size);
    if (!check.bytes.owned) return Refused(FirmwareFileRefusal::NoMemory);
    check.bytes.data = check.bytes.owned.get();
    // One read of the whole file; no further than the length taken, and a read that
    // comes short is no file we can vouch for.
    std::size_t got = 0;
    if (!file->Read(check.bytes.owned.get(), check.bytes.size, &got) || got != check.bytes.size) {
        return Refused(FirmwareFileRefusal::CantRead);
    }
    firmware::FirmwareImageReader reader;
    reader.Feed(check.bytes.data, check.bytes.size);
    check.image = reader.Finish();
    if (!check.image.Usable()) {
        check.refusal = FirmwareFileRefusal::NotFirmware;
        check.bytes = FirmwareImage{};
    }
    return check;
}

FirmwareFileReport TakeFirmwareImage(const EmbeddedImageSource& embedded, FileOpener& files,
                                     const std::wstring& path, Allocator& allocator) {
    FirmwareFileReport taken;
    if (embedded.Find(&taken.bytes)) return taken;
    return CheckFirmwareFile(files, path, allocator);
}

std::wstring FirmwareFileRefusalText(const FirmwareFileReport& check) {
    const std::wstring notFirmware = texts::kNotFirmware;
    switch (check.refusal) {
        case FirmwareFileRefusal::None: return std::wstring();
        case FirmwareFileRefusal::CantOpen: return texts::kFileCantOpen;
        case FirmwareFileRefusal::CantRead: return texts::kFileCantRead;
        case FirmwareFileRefusal::NoMemory: return texts::kFileNoMemory;
        case FirmwareFileRefusal::TooLarge:
            return notFirmware + texts::kFileTooLarge + texts::kChooseAgain;
        case FirmwareFileRefusal::NotFirmware: {
            // The reader's words are plain ASCII.
            const std::string fault = firmware::ImageFaultText(check.image);
            return notFirmware + std::wstring(fault.begin(), fault.end()) + texts::kChooseAgain;
        }
    }
    return notFirmware + texts::kChooseAgain;
}

}  // namespace reflasher
