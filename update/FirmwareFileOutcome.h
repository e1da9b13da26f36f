// The chosen firmware file, read before a run starts: opened as before (existing,
// read-only, shared with no one), read whole in one read, not at all when it is too
// large to be firmware, and checked. The bytes checked are the ones the run sends.
#pragma once

#include <cstdint>
#include <string>

#include "device/Allocator.h"
#include "firmware/FirmwareImageReader.h"
#include "update/FirmwareSources.h"

namespace reflasher {

// The stored image is 1.1 MB; a disk image chosen by mistake must not stall the dialog.
constexpr std::uint64_t kLargestFirmwareFile = std::uint64_t{64} << 20;

enum class FirmwareFileRefusal {
    None,
    CantOpen,     // missing, not accessible, or held open by another program
    CantRead,     // an operating-system error while taking its length or reading it, or a short read
    TooLarge,     // over kLargestFirmwareFile: not read
    NoMemory,     // no buffer the size of the file could be had
    NotFirmware,  // read, and refused by the image reader (see `image`)
};

struct FirmwareFileOutcome {
    FirmwareFileRefusal refusal = FirmwareFileRefusal::None;
    firmware::ImageOutcome image;  // the reader's outcome when the file was read
    FirmwareImage bytes;           // the whole file, kept only when it is usable
};

FirmwareFileOutcome CheckFirmwareFile(FileOpener& files, const std::wstring& path,
                                      Allocator& allocator = Allocator::Heap());

// The image a run sends, decided once at Start: the embedded image when the program
// carries one (no file is opened then), else the chosen file at `path`, read and
// checked now.
FirmwareFileOutcome TakeFirmwareImage(const EmbeddedImageSource& embedded, FileOpener& files,
                                      const std::wstring& path,
                                      Allocator& allocator = Allocator::Heap());

// What the user is told when the file is refused; empty for a usable one.
std::wstring FirmwareFileRefusalText(const FirmwareFileOutcome& outcome);

}  // namespace reflasher
