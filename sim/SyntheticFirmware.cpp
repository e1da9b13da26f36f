#include "sim/SyntheticFirmware.h"

#include <algorithm>

namespace reflasher::sim {

using namespace firmware;

namespace {

// xorshift32: cheap, deterministic on every compiler, and never all zeros.
class PatternSource {
public:
    explicit PatternSource(std::uint32_t seed) : state_(seed != 0 ? seed : 1) {}
    unsigned char Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<unsigned char>(state_ >> 24);
    }

private:
    std::uint32_t state_;
};

constexpr char kMakerText[] = "Quillmar:";
constexpr char kHexDigits[] = "0123456789ABCDEF";

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

}  // namespace

void AppendSRecordLine(const SRecord& record, std::string* out) {
    out->append(TypeText(record.type));
    AppendHexByte(static_cast<unsigned>(RecordCount(record.data.size())), out);
    for (int shift = 24; shift >= 0; shift -= 8) AppendHexByte(record.address >> shift, out);
    for (unsigned char byte : record.data) AppendHexByte(byte, out);
    AppendHexByte(SRecordChecksum(record), out);
    out->append("\r\n");
}

FirmwareLayout StoredImageLayout() {
    FirmwareLayout layout;
    layout.version = "00900000";
    layout.runs = {{0x02000000u, 0x02042673u}, {0x02100000u, 0x0212D017u}};
    return layout;
}

std::string GenerateFirmwareImage(const FirmwareLayout& layout) {
    std::string image;
    std::size_t dataBytes = 0;
    for (const AddressRun& run : layout.runs) dataBytes += std::size_t{run.last} - run.first + 1;
    const std::size_t recordSize = std::clamp<std::size_t>(layout.recordDataSize, 1, kMaxRecordData);
    // Each full data record takes 2 digits per byte plus 16 characters of framing.
    image.reserve(dataBytes * 2 + (dataBytes / recordSize + layout.runs.size()) * 16 + 128);

    SRecord record;
    record.type = SRecordType::Header;
    record.address = 0;
    const std::string header = kMakerText + layout.version;
    record.data.assign(header.begin(), header.end());
    AppendSRecordLine(record, &image);

    PatternSource pattern(layout.seed);
    record.type = SRecordType::Data;
    for (const AddressRun& run : layout.runs) {
        std::uint64_t address = run.first;
        const std::uint64_t end = std::uint64_t{run.last} + 1;
        while (address < end) {
            const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(recordSize, end - address));
            record.address = static_cast<std::uint32_t>(address);
            record.data.resize(size);
            for (unsigned char& byte : record.data) byte = pattern.Next();
            AppendSRecordLine(record, &image);
            address += size;
        }
    }

    record.type = SRecordType::End;
    record.address = 0;
    record.data.clear();
    AppendSRecordLine(record, &image);
    return image;
}

}  // namespace reflasher::sim
