#include "firmware/FirmwareImageReader.h"

#include "device/AsciiCase.h"

namespace reflasher::firmware {
namespace {

constexpr char kMaker[] = "QUILLMAR";

bool IsMakerQuillmar(const std::string& maker) {
    if (maker.size() != sizeof kMaker - 1) return false;
    for (std::size_t i = 0; i < maker.size(); ++i) {
        if (AsciiUpper(maker[i]) != kMaker[i]) return false;
    }
    return true;
}

// What a fault of one line means here; upper or lower case is no fault.
ImageFault LineFault(SRecordFault fault) {
    switch (fault) {
        case SRecordFault::None: return ImageFault::None;
        case SRecordFault::UnknownRecordType: return ImageFault::NotARecord;
        case SRecordFault::BadHexDigit: return ImageFault::NotHex;  // a CR inside the line too
        case SRecordFault::ChecksumMismatch: return ImageFault::BadChecksum;
        default: return ImageFault::CountMismatch;  // odd, too short or too long for its count
    }
}

}  // namespace

bool FirmwareImageReader::Feed(const unsigned char* bytes, std::size_t size) {
    if (failed_) return false;
    if (size > 0) anyBytes_ = true;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(bytes[i]);
        if (c == '\n') {
            if (!TakeLine(false)) return false;
            ++lineNumber_;
            continue;
        }
        // After the end record only line ends may follow.
        if (ended_) {
            if (c != '\r') return Fail(ImageFault::AfterEnd);
            continue;
        }
        line_.push_back(c);
        // No record is this long: judge it now rather than gather a binary file.
        if (line_.size() > kLongestLine && !TakeLine(false)) return false;
    }
    return true;
}

ImageOutcome FirmwareImageReader::Finish() {
    if (failed_) return report_;
    if (!anyBytes_) {
        Fail(ImageFault::Empty);
        report_.line = 0;
        return report_;
    }
    // A last line without a line end is fine; one cut off inside its record is not.
    const bool lastLineOpen = !line_.empty();
    if (lastLineOpen && !TakeLine(true)) return report_;
    if (!ended_) {
        // Name the last line there is: the file breaks off after it.
        if (!lastLineOpen) --lineNumber_;
        Fail(ImageFault::NoEndRecord);
    }
    return report_;
}

bool FirmwareImageReader::TakeLine(bool cutOff) {
    if (ended_) {
        line_.clear();
        return true;  // CRs only: Feed let nothing else through
    }
    std::size_t length = line_.size();
    if (length > 0 && line_[length - 1] == '\r') --length;
    if (length < 2) return Fail(ImageFault::NotARecord);  // an empty line is no record
    const SRecordFault recordFault = ParseSRecordLine(line_.data(), length, &record_);
    const ImageFault fault = LineFault(recordFault);
    if (fault != ImageFault::None) {
        // A record that merely stops short at the end of the file is a download cut off.
        const bool stopsShort = fault == ImageFault::CountMismatch || fault == ImageFault::BadChecksum;
        return Fail(cutOff && stopsShort ? ImageFault::NoEndRecord : fault);
    }
    line_.clear();
    return TakeRecord(record_);
}

bool FirmwareImageReader::TakeRecord(const SRecord& record) {
    if (!headerSeen_) {
        if (record.type != SRecordType::Header) return Fail(ImageFault::NoHeader);
        const std::string text(record.data.begin(), record.data.end());
        const std::size_t colon = text.find(':');
        if (colon == std::string::npos || !IsMakerQuillmar(text.substr(0, colon))) {
            return Fail(ImageFault::OtherMaker);
        }
        report_.maker = text.substr(0, colon);
        report_.version = text.substr(colon + 1);
        headerSeen_ = true;
        return true;
    }
    switch (record.type) {
        case SRecordType::Header: return true;  // a further header is the embosser's to judge
        case SRecordType::Data: dataSeen_ = true; return true;
        case SRecordType::End:
            if (!dataSeen_) return Fail(ImageFault::NoData);
            ended_ = true;
            return true;
    }
    return true;
}

bool FirmwareImageReader::Fail(ImageFault fault) {
    failed_ = true;
    report_ = ImageOutcome{};
    report_.fault = fault;
    report_.line = lineNumber_;
    return false;
}

ImageOutcome ReadFirmwareImage(const unsigned char* bytes, std::size_t size) {
    FirmwareImageReader reader;
    reader.Feed(bytes, size);
    return reader.Finish();
}

}  // namespace reflasher::firmware
