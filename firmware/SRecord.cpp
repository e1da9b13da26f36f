#include "firmware/SRecord.h"

namespace reflasher::firmware {
namespace {

constexpr std::size_t kTypeChars = 2;

// The value of one hex digit, in either case; -1 for any other character.
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

unsigned char SRecordChecksum(const SRecord& record) {
    unsigned sum = static_cast<unsigned>(RecordCount(record.data.size()));
    for (int shift = 24; shift >= 0; shift -= 8) sum += (record.address >> shift) & 0xFF;
    for (unsigned char byte : record.data) sum += byte;
    return static_cast<unsigned char>(~sum & 0xFF);
}

SRecordFault ParseSRecordLine(const char* text, std::size_t length, SRecord* record) {
    if (length < kTypeChars) return SRecordFault::BadRecordLength;
    if (text[0] != 'S') return SRecordFault::UnknownRecordType;
    switch (text[1]) {
        case 'V': record->type = SRecordType::Header; break;
        case '3': record->type = SRecordType::Data; break;
        case 'P': record->type = SRecordType::End; break;
        default: return SRecordFault::UnknownRecordType;
    }

    // Digits first, so that a bad character is named as such rather than as a bad length.
    const std::size_t digits = length - kTypeChars;
    for (std::size_t i = kTypeChars; i < length; ++i) {
        if (HexValue(text[i]) < 0) return SRecordFault::BadHexDigit;
    }
    if (digits % 2 != 0) return SRecordFault::BadRecordLength;
    const std::size_t bytes = digits / 2;  // count, address, data, checksum
    if (bytes < 1 + RecordCount(0)) return SRecordFault::BadRecordLength;
    const std::size_t dataSize = bytes - 1 - RecordCount(0);
    if (dataSize > kMaxRecordData) return SRecordFault::TooLong;

    auto byteAt = [text](std::size_t index) {
        const char* pair = text + kTypeChars + 2 * index;
        return static_cast<unsigned char>(HexValue(pair[0]) * 16 + HexValue(pair[1]));
    };
    if (byteAt(0) != bytes - 1) return SRecordFault::CountMismatch;

    record->address = 0;
    for (std::size_t i = 1; i <= kAddressBytes; ++i) {
        record->address = (record->address << 8) | byteAt(i);
    }
    record->data.resize(dataSize);
    for (std::size_t i = 0; i < dataSize; ++i) record->data[i] = byteAt(1 + kAddressBytes + i);
    if (byteAt(bytes - 1) != SRecordChecksum(*record)) return SRecordFault::ChecksumMismatch;
    return SRecordFault::None;
}

}  // namespace reflasher::firmware
