// The embosser's check of a received firmware image: well-formed S-records,
// the Quillmar header, ascending data without overlap, the end record last.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "firmware/SRecord.h"

namespace reflasher::sim {

// A stretch of contiguous data addresses, both ends included.
struct AddressRun {
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    bool operator==(const AddressRun& other) const {
        return first == other.first && last == other.last;
    }
};

struct FirmwareImageCheck {
    firmware::SRecordProblem problem = firmware::SRecordProblem::None;
    std::size_t line = 0;  // 1-based line of the problem; 0 when there is none
    // What was read up to the problem (all of it for a valid image).
    std::string version;   // the header's eight digits
    std::size_t lines = 0;
    std::size_t dataRecords = 0;
    std::size_t dataBytes = 0;
    std::vector<AddressRun> runs;

    bool Valid() const { return problem == firmware::SRecordProblem::None; }
};

FirmwareImageCheck CheckFirmwareImage(const unsigned char* bytes, std::size_t size);

}  // namespace reflasher::sim
