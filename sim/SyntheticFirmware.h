// A stand-in for the Dovrex firmware: the stored image's exact layout (header,
// two runs of 32-byte data records, end record) filled with a fixed
// pseudo-random pattern, so tests and the demo need no real firmware.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/LoaderOutcome.h"

namespace reflasher::sim {

struct FirmwareLayout {
    std::string version;            // eight digits after "Quillmar:"
    std::vector<AddressRun> runs;   // ascending, not overlapping
    std::size_t recordDataSize = 32;  // 1 to firmware::kMaxRecordData
    std::uint32_t seed = 0x51A7E5u; // of the data pattern; any value but 0
};

// Appends the record as one line of upper-case hex closed by CR LF; at most
// firmware::kMaxRecordData data bytes.
void AppendSRecordLine(const firmware::SRecord& record, std::string* out);

// The layout of the image the product ships.
FirmwareLayout StoredImageLayout();

// The image as text: CR LF lines, upper-case hex, records at run start + n * size.
std::string GenerateFirmwareImage(const FirmwareLayout& layout);
inline std::string GenerateSyntheticFirmware() { return GenerateFirmwareImage(StoredImageLayout()); }

}  // namespace reflasher::sim
