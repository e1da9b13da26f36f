// One Motorola S-record line of the embosser's kind: "SV" header, "S3" data,
// "SP" end; every type carries a 32-bit address. The embosser's loader reads
// upper-case hex only; the program's own reader takes either case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace reflasher::firmware {

enum class SRecordType { Header, Data, End };

struct SRecord {
    SRecordType type = SRecordType::Data;
    std::uint32_t address = 0;
    std::vector<unsigned char> data;
};

// Everything the embosser's loader refuses in an image; ParseSRecordLine reports
// the ones of a single line, the simulated embosser's image check the rest.
enum class SRecordProblem {
    None,
    Empty,              // no bytes at all
    BadLineEnd,         // a line not closed by CR LF, or a stray CR
    BadRecordLength,    // odd digit count, or too short for count, address and checksum
    UnknownRecordType,  // not "SV", "S3" or "SP"
    BadHexDigit,        // not 0-9 or A-F
    LowerCaseHex,       // a-f: the loader reads upper case only
    CountMismatch,      // the count byte disagrees with the bytes on the line
    ChecksumMismatch,
    TooLong,            // more than a count byte can describe
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
const char* SRecordProblemName(SRecordProblem problem);

// Bytes after the count field for an SV/S3/SP record with `dataSize` data bytes.
constexpr std::size_t kAddressBytes = 4;
constexpr std::size_t RecordCount(std::size_t dataSize) { return kAddressBytes + dataSize + 1; }
// The most data one record holds: its count is a single byte.
constexpr std::size_t kMaxRecordData = 0xFF - RecordCount(0);

// Ones' complement of the low byte of the sum of count, address and data.
unsigned char SRecordChecksum(const SRecord& record);

// Appends the record as one line closed by CR LF; at most kMaxRecordData data bytes.
void AppendSRecordLine(const SRecord& record, std::string* out);

enum class HexCase { UpperOnly, Either };

// Parses one line (without its CR LF) into `record`; checks digits, count and checksum.
// With HexCase::UpperOnly a lower-case digit is LowerCaseHex, as the loader sees it.
SRecordProblem ParseSRecordLine(const char* text, std::size_t length, SRecord* record,
                                HexCase hexCase = HexCase::UpperOnly);

}  // namespace reflasher::firmware
