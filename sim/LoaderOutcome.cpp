#include "sim/LoaderOutcome.h"

#include <cstring>

namespace reflasher::sim {

using namespace firmware;

namespace {

constexpr char kMakerText[] = "Quillmar:";
constexpr std::size_t kMakerLength = sizeof kMakerText - 1;
constexpr std::size_t kVersionDigits = 8;

// The loader reads upper-case hex digits only, and a CR only before the LF: the
// fault of the first other character after the type, when it is a-f or a CR.
ImageFormatFault StrayCharacter(const char* text, std::size_t length) {
    for (std::size_t i = 2; i < length; ++i) {
        const char c = text[i];
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) continue;
        if (c >= 'a' && c <= 'f') return ImageFormatFault::LowerCaseHex;
        if (c == '\r') return ImageFormatFault::BadLineEnd;
        break;  // any other character is the line's own BadHexDigit
    }
    return ImageFormatFault::None;
}

bool IsHeaderText(const std::vector<unsigned char>& data) {
    if (data.size() != kMakerLength + kVersionDigits) return false;
    if (std::memcmp(data.data(), kMakerText, kMakerLength) != 0) return false;
    for (std::size_t i = kMakerLength; i < data.size(); ++i) {
        if (data[i] < '0' || data[i] > '9') return false;
    }
    return true;
}

// Walks the image line by line; stops at the first fault.
class ImageChecker {
public:
    explicit ImageChecker(LoaderOutcome* result) : result_(result) {}

    // Takes one record; false when it is the fault.
    bool Take(const SRecord& record) {
        const bool first = result_->lines == 1;
        switch (record.type) {
            case SRecordType::Header:
                if (!first) return Fail(ImageFormatFault::MisplacedHeader);
                if (record.address != 0 || !IsHeaderText(record.data)) {
                    return Fail(ImageFormatFault::BadHeader);
                }
                result_->version.assign(record.data.begin() + kMakerLength, record.data.end());
                return true;
            case SRecordType::Data:
                if (first) return Fail(ImageFormatFault::MissingHeader);
                return TakeData(record);
            case SRecordType::End:
                if (first) return Fail(ImageFormatFault::MissingHeader);
                if (record.address != 0 || !record.data.empty()) {
                    return Fail(ImageFormatFault::BadEndRecord);
                }
                if (result_->dataRecords == 0) return Fail(ImageFormatFault::NoData);
                ended_ = true;
                return true;
        }
        return Fail(SRecordFault::UnknownRecordType);
    }

    bool Fail(LoaderFault fault) {
        result_->fault = fault;
        result_->line = result_->lines;
        return false;
    }

    bool Ended() const { return ended_; }

private:
    bool TakeData(const SRecord& record) {
        if (record.data.empty()) return Fail(ImageFormatFault::EmptyDataRecord);
        const std::uint64_t start = record.address;
        const std::uint64_t end = start + record.data.size();  // one past the last byte
        if (result_->dataRecords > 0 && start < nextAddress_) {
            return Fail(ImageFormatFault::AddressOverlap);
        }
        if (end > 0x100000000ull) return Fail(ImageFormatFault::AddressOverflow);
        const auto last = static_cast<std::uint32_t>(end - 1);
        if (result_->dataRecords > 0 && start == nextAddress_) {
            result_->runs.back().last = last;
        } else {
            result_->runs.push_back({record.address, last});
        }
        nextAddress_ = end;
        ++result_->dataRecords;
        result_->dataBytes += record.data.size();
        return true;
    }

    LoaderOutcome* result_;
    std::uint64_t nextAddress_ = 0;
    bool ended_ = false;
};

}  // namespace

const char* FaultName(const LoaderFault& fault) {
    if (const auto* line = std::get_if<SRecordFault>(&fault)) {
        switch (*line) {
            case SRecordFault::None: return FaultName(ImageFormatFault::None);
            case SRecordFault::BadRecordLength: return "bad record length";
            case SRecordFault::UnknownRecordType: return "unknown record type";
            case SRecordFault::BadHexDigit: return "not a hex digit";
            case SRecordFault::CountMismatch: return "count does not match the record";
            case SRecordFault::ChecksumMismatch: return "checksum mismatch";
            case SRecordFault::TooLong: return "record too long";
        }
    } else {
        switch (std::get<ImageFormatFault>(fault)) {
            case ImageFormatFault::None: return "none";
            case ImageFormatFault::Empty: return "empty image";
            case ImageFormatFault::BadLineEnd: return "line not ended by CR LF";
            case ImageFormatFault::LowerCaseHex: return "lower-case hex digit";
            case ImageFormatFault::MissingHeader: return "no SV header record first";
            case ImageFormatFault::BadHeader: return "bad SV header record";
            case ImageFormatFault::MisplacedHeader: return "SV record after the first line";
            case ImageFormatFault::EmptyDataRecord: return "data record without data";
            case ImageFormatFault::AddressOverlap: return "data address not ascending";
            case ImageFormatFault::AddressOverflow: return "data past the end of the address space";
            case ImageFormatFault::NoData: return "no data records";
            case ImageFormatFault::BadEndRecord: return "bad SP end record";
            case ImageFormatFault::MissingEndRecord: return "no SP end record";
            case ImageFormatFault::DataAfterEnd: return "data after the SP end record";
        }
    }
    return "unknown fault";
}

LoaderOutcome CheckAsLoader(const unsigned char* bytes, std::size_t size) {
    LoaderOutcome result;
    ImageChecker checker(&result);
    if (size == 0) {
        checker.Fail(ImageFormatFault::Empty);
        return result;
    }

    SRecord record;
    std::size_t position = 0;
    while (position < size) {
        ++result.lines;
        if (checker.Ended()) {
            checker.Fail(ImageFormatFault::DataAfterEnd);
            return result;
        }
        const void* found = std::memchr(bytes + position, '\n', size - position);
        if (found == nullptr) {
            checker.Fail(ImageFormatFault::BadLineEnd);
            return result;
        }
        const auto lineFeed = static_cast<std::size_t>(static_cast<const unsigned char*>(found) - bytes);
        if (lineFeed == position || bytes[lineFeed - 1] != '\r') {
            checker.Fail(ImageFormatFault::BadLineEnd);
            return result;
        }
        const char* line = reinterpret_cast<const char*>(bytes + position);
        const std::size_t length = lineFeed - 1 - position;
        const SRecordFault fault = ParseSRecordLine(line, length, &record);
        const ImageFormatFault stray = StrayCharacter(line, length);
        if (fault != SRecordFault::UnknownRecordType && stray != ImageFormatFault::None) {
            checker.Fail(stray);
            return result;
        }
        if (fault != SRecordFault::None) {
            checker.Fail(fault);
            return result;
        }
        if (!checker.Take(record)) return result;
        position = lineFeed + 1;
    }
    if (!checker.Ended()) {
        result.fault = ImageFormatFault::MissingEndRecord;
        result.line = result.lines + 1;  // where the end record should have been
    }
    return result;
}

}  // namespace reflasher::sim
