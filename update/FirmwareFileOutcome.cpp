#include "update/FirmwareFileOutcome.h"

#include "firmware/ImageFaultText.h"
#include "texts/ProgramTexts.h"

namespace reflasher {
namespace {

FirmwareFileOutcome Refused(FirmwareFileRefusal refusal) {
    FirmwareFileOutcome outcome;
    outcome.refusal = refusal;
    return outcome;
}

}  // namespace

FirmwareFileOutcome CheckFirmwareFile(FileOpener& files, const std::wstring& path,
                                      Allocator& allocator) {
    const std::unique_ptr<FirmwareFile> file = files.OpenExisting(path);
    if (!file) return Refused(FirmwareFileRefusal::CantOpen);
    std::uint64_t length = 0;
    if (!file->Length(&length)) return Refused(FirmwareFileRefusal::CantRead);
    if (length > kLargestFirmwareFile) return Refused(FirmwareFileRefusal::TooLarge);

    FirmwareFileOutcome outcome;
    outcome.bytes.size = static_cast<std::size_t>(length);
    outcome.bytes.owned = allocator.Allocate(outcome.bytes.size);
    if (!outcome.bytes.owned) return Refused(FirmwareFileRefusal::NoMemory);
    outcome.bytes.data = outcome.bytes.owned.get();
    // One read of the whole file; no further than the length taken, and a read that
    // comes short is no file we can vouch for.
    std::size_t got = 0;
    if (!file->Read(outcome.bytes.owned.get(), outcome.bytes.size, &got) ||
        got != outcome.bytes.size) {
        return Refused(FirmwareFileRefusal::CantRead);
    }
    firmware::FirmwareImageReader reader;
    reader.Feed(outcome.bytes.data, outcome.bytes.size);
    outcome.image = reader.Finish();
    if (!outcome.image.Usable()) {
        outcome.refusal = FirmwareFileRefusal::NotFirmware;
        outcome.bytes = FirmwareImage{};
    }
    return outcome;
}

FirmwareFileOutcome TakeFirmwareImage(const EmbeddedImageSource& embedded, FileOpener& files,
                                      const std::wstring& path, Allocator& allocator) {
    FirmwareFileOutcome taken;
    if (embedded.Find(&taken.bytes)) return taken;
    return CheckFirmwareFile(files, path, allocator);
}

std::wstring FirmwareFileRefusalText(const FirmwareFileOutcome& outcome) {
    const std::wstring notFirmware = texts::kNotFirmware;
    switch (outcome.refusal) {
        case FirmwareFileRefusal::None: return std::wstring();
        case FirmwareFileRefusal::CantOpen: return texts::kFileCantOpen;
        case FirmwareFileRefusal::CantRead: return texts::kFileCantRead;
        case FirmwareFileRefusal::NoMemory: return texts::kFileNoMemory;
        case FirmwareFileRefusal::TooLarge:
            return notFirmware + texts::kFileTooLarge + texts::kChooseAgain;
        case FirmwareFileRefusal::NotFirmware: {
            // The reader's words are plain ASCII.
            const std::string fault = firmware::ImageFaultText(outcome.image);
            return notFirmware + std::wstring(fault.begin(), fault.end()) + texts::kChooseAgain;
        }
    }
    return notFirmware + texts::kChooseAgain;
}

}  // namespace reflasher
