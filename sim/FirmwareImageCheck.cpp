#include "sim/FirmwareImageCheck.h"

#include <cstring>

namespace reflasher::sim {

using namespace firmware;

namespace {

constexpr char kMakerText[] = "Quillmar:";
constexpr std::size_t kMakerLength = sizeof kMakerText - 1;
constexpr std::size_t kVersionDigits = 8;

// The loader reads upper-case hex digits only, and a CR only before the LF: the
// problem of the first other character after the type, when it is a-f or a CR.
ImageProblem StrayCharacter(const char* text, std::size_t length) {
    for (std::size_t i = 2; i < length; ++i) {
        const char c = text[i];
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) continue;
        if (c >= 'a' && c <= 'f') return ImageProblem::LowerCaseHex;
        if (c == '\r') return ImageProblem::BadLineEnd;
        break;  // any other character is the line's own BadHexDigit
    }
    return ImageProblem::None;
}

bool IsHeaderText(const std::vector<unsigned char>& data) {
    if (data.size() != kMakerLength + kVersionDigits) return false;
    if (std::memcmp(data.data(), kMakerText, kMakerLength) != 0) return false;
    for (std::size_t i = kMakerLength; i < data.size(); ++i) {
        if (data[i] < '0' || data[i] > '9') return false;
    }
    return true;
}

// Walks the image line by line; stops at the first problem.
class ImageChecker {
public:
    explicit ImageChecker(FirmwareImageCheck* result) : result_(result) {}

    // Takes one record; false when it is the problem.
    bool Take(const SRecord& record) {
        const bool first = result_->lines == 1;
        switch (record.type) {
            case SRecordType::Header:
                if (!first) return Fail(ImageProblem::MisplacedHeader);
                if (record.address != 0 || !IsHeaderText(record.data)) {
                    return Fail(ImageProblem::BadHeader);
                }
                result_->version.assign(record.data.begin() + kMakerLength, record.data.end());
                return true;
            case SRecordType::Data:
                if (first) return Fail(ImageProblem::MissingHeader);
                return TakeData(record);
            case SRecordType::End:
                if (first) return Fail(ImageProblem::MissingHeader);
                if (record.address != 0 || !record.data.empty()) {
                    return Fail(ImageProblem::BadEndRecord);
                }
                if (result_->dataRecords == 0) return Fail(ImageProblem::NoData);
                ended_ = true;
                return true;
        }
        return Fail(SRecordProblem::UnknownRecordType);
    }

    bool Fail(LoaderProblem problem) {
        result_->problem = problem;
        result_->line = result_->lines;
        return false;
    }

    bool Ended() const { return ended_; }

private:
    bool TakeData(const SRecord& record) {
        if (record.data.empty()) return Fail(ImageProblem::EmptyDataRecord);
        const std::uint64_t start = record.address;
        const std::uint64_t end = start + record.data.size();  // one past the last byte
        if (result_->dataRecords > 0 && start < nextAddress_) {
            return Fail(ImageProblem::AddressOverlap);
        }
        if (end > 0x100000000ull) return Fail(ImageProblem::AddressOverflow);
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

    FirmwareImageCheck* result_;
    std::uint64_t nextAddress_ = 0;
    bool ended_ = false;
};

}  // namespace

const char* ProblemName(const LoaderProblem& problem) {
    if (const auto* line = std::get_if<SRecordProblem>(&problem)) {
        switch (*line) {
            case SRecordProblem::None: return ProblemName(ImageProblem::None);
            case SRecordProblem::BadRecordLength: return "bad record length";
            case SRecordProblem::UnknownRecordType: return "unknown record type";
            case SRecordProblem::BadHexDigit: return "not a hex digit";
            case SRecordProblem::CountMismatch: return "count does not match the record";
            case SRecordProblem::ChecksumMismatch: return "checksum mismatch";
            case SRecordProblem::TooLong: return "record too long";
        }
    } else {
        switch (std::get<ImageProblem>(problem)) {
            case ImageProblem::None: return "none";
            case ImageProblem::Empty: return "empty image";
            case ImageProblem::BadLineEnd: return "line not ended by CR LF";
            case ImageProblem::LowerCaseHex: return "lower-case hex digit";
            case ImageProblem::MissingHeader: return "no SV header record first";
            case ImageProblem::BadHeader: return "bad SV header record";
            case ImageProblem::MisplacedHeader: return "SV record after the first line";
            case ImageProblem::EmptyDataRecord: return "data record without data";
            case ImageProblem::AddressOverlap: return "data address not ascending";
            case ImageProblem::AddressOverflow: return "data past the end of the address space";
            case ImageProblem::NoData: return "no data records";
            case ImageProblem::BadEndRecord: return "bad SP end record";
            case ImageProblem::MissingEndRecord: return "no SP end record";
            case ImageProblem::DataAfterEnd: return "data after the SP end record";
        }
    }
    return "unknown problem";
}

FirmwareImageCheck CheckFirmwareImage(const unsigned char* bytes, std::size_t size) {
    FirmwareImageCheck result;
    ImageChecker checker(&result);
    if (size == 0) {
        checker.Fail(ImageProblem::Empty);
        return result;
    }

    SRecord record;
    std::size_t position = 0;
    while (position < size) {
        ++result.lines;
        if (checker.Ended()) {
            checker.Fail(ImageProblem::DataAfterEnd);
            return result;
        }
        const void* found = std::memchr(bytes + position, '\n', size - position);
        if (found == nullptr) {
            checker.Fail(ImageProblem::BadLineEnd);
            return result;
        }
        const auto lineFeed = static_cast<std::size_t>(static_cast<const unsigned char*>(found) - bytes);
        if (lineFeed == position || bytes[lineFeed - 1] != '\r') {
            checker.Fail(ImageProblem::BadLineEnd);
            return result;
        }
        const char* line = reinterpret_cast<const char*>(bytes + position);
        const std::size_t length = lineFeed - 1 - position;
        const SRecordProblem problem = ParseSRecordLine(line, length, &record);
        const ImageProblem stray = StrayCharacter(line, length);
        if (problem != SRecordProblem::UnknownRecordType && stray != ImageProblem::None) {
            checker.Fail(stray);
            return result;
        }
        if (problem != SRecordProblem::None) {
            checker.Fail(problem);
            return result;
        }
        if (!checker.Take(record)) return result;
        position = lineFeed + 1;
    }
    if (!checker.Ended()) {
        result.problem = ImageProblem::MissingEndRecord;
        result.line = result.lines + 1;  // where the end record should have been
    }
    return result;
}

}  // namespace reflasher::sim
