// The chosen firmware file, read before a run starts: through the same opener
// the run uses (existing, read-only, shared with no one), in one pass that stops
// at the first fault, and not at all when it is too large to be firmware.
#pragma once

#include <cstdint>
#include <string>

#include "firmware/FirmwareImageReader.h"
#include "update/FirmwareSources.h"

namespace reflasher {

// The stored image is 1.1 MB; a disk image chosen by mistake must not stall the dialog.
constexpr std::uint64_t kLargestFirmwareFile = std::uint64_t{64} << 20;

enum class FirmwareFileVerdict {
    Usable,
    CantOpen,     // missing, not accessible, or held open by another program
    CantRead,     // an operating-system error while taking its length or reading it
    TooLarge,     // over kLargestFirmwareFile: not read
    NotFirmware,  // read, and refused by the image reader (see `image`)
};

struct FirmwareFileCheck {
    FirmwareFileVerdict verdict = FirmwareFileVerdict::Usable;
    firmware::ImageReport image;  // the reader's verdict when the file was read
};

FirmwareFileCheck CheckFirmwareFile(FileOpener& files, const std::wstring& path);

// What the user is told when the file is refused; empty for a usable one.
std::wstring FirmwareFileRefusal(const FirmwareFileCheck& check);

}  // namespace reflasher
