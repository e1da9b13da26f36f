// One Motorola S-record line of the embosser's kind: "SV" header, "S3" data,
// "SP" end; every type carries a 32-bit address.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace reflasher::firmware {

enum class SRecordType { Header, Data, End };

struct SRecord {
    SRecordType type = SRecordType::Data;
    std::uint32_t address = 0;
    std::vector<unsigned char> data;
};

// What ParseSRecordLine finds wrong with one line.
enum class SRecordFault {
    None,
    BadRecordLength,    // odd digit count, or too short for count, address and checksum
    UnknownRecordType,  // not "SV", "S3" or "SP"
    BadHexDigit,        // not 0-9, A-F or a-f (a CR inside the line, too)
    CountMismatch,      // the count byte disagrees with the bytes on the line
    ChecksumMismatch,
    TooLong,            // more than a count byte can describe
};

// Bytes after the count field for an SV/S3/SP record with `dataSize` data bytes.
constexpr std::size_t kAddressBytes = 4;
constexpr std::size_t RecordCount(std::size_t dataSize) { return kAddressBytes + dataSize + 1; }
// The most data one record holds: its count is a single byte.
constexpr std::size_t kMaxRecordData = 0xFF - RecordCount(0);

// Ones' complement of the low byte of the sum of count, address and data.
unsigned char SRecordChecksum(const SRecord& record);

// Parses one line (without its CR LF) into `record`; checks digits, in either
// case, count and checksum.
SRecordFault ParseSRecordLine(const char* text, std::size_t length, SRecord* record);

}  // namespace reflasher::firmware
