// The embosser's check of a received firmware image: well-formed S-records in
// upper-case hex, the Quillmar header, ascending data without overlap, the end record last.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "firmware/SRecord.h"

namespace reflasher::sim {

// What the embosser's loader refuses in an image besides a line that is no
// S-record of its kind (a firmware::SRecordFault).
enum class ImageFormatFault {
    None,
    Empty,              // no bytes at all
    BadLineEnd,         // a line not closed by CR LF, or a stray CR
    LowerCaseHex,       // a-f: the loader reads upper case only
    MissingHeader,      // the first record is not SV
    BadHeader,          // SV not at address 0, or its text not "Quillmar:" and eight digits
    MisplacedHeader,    // an SV after the first record
    EmptyDataRecord,    // S3 with no data bytes
    AddressOverlap,     // a data record below the end of the one before it
    AddressOverflow,    // a data record running past 0xFFFFFFFF
    NoData,             // the end record before any data record
    BadEndRecord,       // SP with data or a non-zero address
    MissingEndRecord,
    DataAfterEnd,       // anything after the SP line
};
using LoaderFault = std::variant<ImageFormatFault, firmware::SRecordFault>;
// The fault in a few words, for logs and test output.
const char* FaultName(const LoaderFault& fault);

// A stretch of contiguous data addresses, both ends included.
struct AddressRun {
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    bool operator==(const AddressRun& other) const {
        return first == other.first && last == other.last;
    }
};

struct LoaderOutcome {
    LoaderFault fault = ImageFormatFault::None;
    std::size_t line = 0;  // 1-based line of the fault; 0 when there is none
    // What was read up to the fault (all of it for a valid image).
    std::string version;   // the header's eight digits
    std::size_t lines = 0;
    std::size_t dataRecords = 0;
    std::size_t dataBytes = 0;
    std::vector<AddressRun> runs;

    bool Valid() const { return fault == LoaderFault(ImageFormatFault::None); }
};

LoaderOutcome CheckAsLoader(const unsigned char* bytes, std::size_t size);

}  // namespace reflasher::sim
