#include "sim/FirmwareImageCheck.h"

#include <cstring>

namespace reflasher::sim {

using namespace firmware;

namespace {

constexpr char kMakerText[] = "Quillmar:";
constexpr std::size_t kMakerLength = sizeof kMakerText - 1;
constexpr std::size_t kVersionDigits = 8;

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
                if (!first) return Fail(SRecordProblem::MisplacedHeader);
                if (record.address != 0 || !IsHeaderText(record.data)) {
                    return Fail(SRecordProblem::BadHeader);
                }
                result_->version.assign(record.data.begin() + kMakerLength, record.data.end());
                return true;
            case SRecordType::Data:
                if (first) return Fail(SRecordProblem::MissingHeader);
                return TakeData(record);
            case SRecordType::End:
                if (first) return Fail(SRecordProblem::MissingHeader);
                if (record.address != 0 || !record.data.empty()) {
                    return Fail(SRecordProblem::BadEndRecord);
                }
                if (result_->dataRecords == 0) return Fail(SRecordProblem::NoData);
                ended_ = true;
                return true;
        }
        return Fail(SRecordProblem::UnknownRecordType);
    }

    bool Fail(SRecordProblem problem) {
        result_->problem = problem;
        result_->line = result_->lines;
        return false;
    }

    bool Ended() const { return ended_; }

private:
    bool TakeData(const SRecord& record) {
        if (record.data.empty()) return Fail(SRecordProblem::EmptyDataRecord);
        const std::uint64_t start = record.address;
        const std::uint64_t end = start + record.data.size();  // one past the last byte
        if (result_->dataRecords > 0 && start < nextAddress_) {
            return Fail(SRecordProblem::AddressOverlap);
        }
        if (end > 0x100000000ull) return Fail(SRecordProblem::AddressOverflow);
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

FirmwareImageCheck CheckFirmwareImage(const unsigned char* bytes, std::size_t size) {
    FirmwareImageCheck result;
    ImageChecker checker(&result);
    if (size == 0) {
        checker.Fail(SRecordProblem::Empty);
        return result;
    }

    SRecord record;
    std::size_t position = 0;
    while (position < size) {
        ++result.lines;
        if (checker.Ended()) {
            checker.Fail(SRecordProblem::DataAfterEnd);
            return result;
        }
        const void* found = std::memchr(bytes + position, '\n', size - position);
        if (found == nullptr) {
            checker.Fail(SRecordProblem::BadLineEnd);
            return result;
        }
        const auto lineFeed = static_cast<std::size_t>(static_cast<const unsigned char*>(found) - bytes);
        if (lineFeed == position || bytes[lineFeed - 1] != '\r') {
            checker.Fail(SRecordProblem::BadLineEnd);
            return result;
        }
        const SRecordProblem problem = ParseSRecordLine(
            reinterpret_cast<const char*>(bytes + position), lineFeed - 1 - position, &record);
        if (problem != SRecordProblem::None) {
            checker.Fail(problem);
            return result;
        }
        if (!checker.Take(record)) return result;
        position = lineFeed + 1;
    }
    if (!checker.Ended()) {
        result.problem = SRecordProblem::MissingEndRecord;
        result.line = result.lines + 1;  // where the end record should have been
    }
    return result;
}

}  // namespace reflasher::sim
