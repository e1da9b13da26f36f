#include "firmware/SRecord.h"

namespace reflasher::firmware {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr std::size_t kTypeChars = 2;
constexpr std::size_t kMaxCount = 0xFF;

const char* TypeText(SRecordType type) {
    switch (type) {
        case SRecordType::Header: return "SV";
        case SRecordType::Data: return "S3";
        case SRecordType::End: return "SP";
    }
    return "S3";
}

void AppendHexByte(unsigned value, std::string* out) {
    out->push_back(kHexDigits[(value >> 4) & 0xF]);
    out->push_back(kHexDigits[value & 0xF]);
}

// The value of one hex digit; -1 for a lower-case one that doesn't count, -2 for a non-hex character.
int HexValue(char c, HexCase hexCase) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return hexCase == HexCase::Either ? c - 'a' + 10 : -1;
    return -2;
}

}  // namespace

const char* SRecordProblemName(SRecordProblem problem) {
    switch (problem) {
        case SRecordProblem::None: return "none";
        case SRecordProblem::Empty: return "empty image";
        case SRecordProblem::BadLineEnd: return "line not ended by CR LF";
        case SRecordProblem::BadRecordLength: return "bad record length";
        case SRecordProblem::UnknownRecordType: return "unknown record type";
        case SRecordProblem::BadHexDigit: return "not a hex digit";
        case SRecordProblem::LowerCaseHex: return "lower-case hex digit";
        case SRecordProblem::CountMismatch: return "count does not match the record";
        case SRecordProblem::ChecksumMismatch: return "checksum mismatch";
        case SRecordProblem::TooLong: return "record too long";
        case SRecordProblem::MissingHeader: return "no SV header record first";
        case SRecordProblem::BadHeader: return "bad SV header record";
        case SRecordProblem::MisplacedHeader: return "SV record after the first line";
        case SRecordProblem::EmptyDataRecord: return "data record without data";
        case SRecordProblem::AddressOverlap: return "data address not ascending";
        case SRecordProblem::AddressOverflow: return "data past the end of the address space";
        case SRecordProblem::NoData: return "no data records";
        case SRecordProblem::BadEndRecord: return "bad SP end record";
        case SRecordProblem::MissingEndRecord: return "no SP end record";
        case SRecordProblem::DataAfterEnd: return "data after the SP end record";
    }
    return "unknown problem";
}

unsigned char SRecordChecksum(const SRecord& record) {
    unsigned sum = static_cast<unsigned>(RecordCount(record.data.size()));
    for (int shift = 24; shift >= 0; shift -= 8) sum += (record.address >> shift) & 0xFF;
    for (unsigned char byte : record.data) sum += byte;
    return static_cast<unsigned char>(~sum & 0xFF);
}

void AppendSRecordLine(const SRecord& record, std::string* out) {
    out->append(TypeText(record.type));
    AppendHexByte(static_cast<unsigned>(RecordCount(record.data.size())), out);
    for (int shift = 24; shift >= 0; shift -= 8) AppendHexByte(record.address >> shift, out);
    for (unsigned char byte : record.data) AppendHexByte(byte, out);
    AppendHexByte(SRecordChecksum(record), out);
    out->append("\r\n");
}

SRecordProblem ParseSRecordLine(const char* text, std::size_t length, SRecord* record,
                                HexCase hexCase) {
    if (length < kTypeChars) return SRecordProblem::BadRecordLength;
    if (text[0] != 'S') return SRecordProblem::UnknownRecordType;
    switch (text[1]) {
        case 'V': record->type = SRecordType::Header; break;
        case '3': record->type = SRecordType::Data; break;
        case 'P': record->type = SRecordType::End; break;
        default: return SRecordProblem::UnknownRecordType;
    }

    // Digits first, so that a bad character is named as such rather than as a bad length.
    const std::size_t digits = length - kTypeChars;
    for (std::size_t i = kTypeChars; i < length; ++i) {
        const int value = HexValue(text[i], hexCase);
        if (value == -1) return SRecordProblem::LowerCaseHex;
        if (value == -2) return text[i] == '\r' ? SRecordProblem::BadLineEnd
                                                : SRecordProblem::BadHexDigit;
    }
    if (digits % 2 != 0) return SRecordProblem::BadRecordLength;
    const std::size_t bytes = digits / 2;  // count, address, data, checksum
    if (bytes < 1 + RecordCount(0)) return SRecordProblem::BadRecordLength;
    if (bytes - 1 > kMaxCount) return SRecordProblem::TooLong;

    auto byteAt = [text, hexCase](std::size_t index) {
        const char* pair = text + kTypeChars + 2 * index;
        return static_cast<unsigned char>(HexValue(pair[0], hexCase) * 16 + HexValue(pair[1], hexCase));
    };
    if (byteAt(0) != bytes - 1) return SRecordProblem::CountMismatch;

    record->address = 0;
    for (std::size_t i = 1; i <= kAddressBytes; ++i) {
        record->address = (record->address << 8) | byteAt(i);
    }
    const std::size_t dataSize = bytes - 1 - RecordCount(0);
    record->data.resize(dataSize);
    for (std::size_t i = 0; i < dataSize; ++i) record->data[i] = byteAt(1 + kAddressBytes + i);
    if (byteAt(bytes - 1) != SRecordChecksum(*record)) return SRecordProblem::ChecksumMismatch;
    return SRecordProblem::None;
}

}  // namespace reflasher::firmware
