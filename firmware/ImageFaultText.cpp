#include "firmware/ImageFaultText.h"

namespace reflasher::firmware {

std::string ImageFaultText(const ImageOutcome& outcome) {
    const std::string line = "line " + std::to_string(outcome.line);
    switch (outcome.fault) {
        case ImageFault::None: return std::string();
        case ImageFault::Empty: return "The file is empty.";
        case ImageFault::NotARecord:
            return "Line " + std::to_string(outcome.line) +
                   " is not a firmware record (S-record text).";
        case ImageFault::NotHex:
            return "In " + line + " there is a character that is not a hexadecimal digit.";
        case ImageFault::CountMismatch:
            return "The record in " + line + " is not as long as its count says.";
        case ImageFault::BadChecksum: return "The checksum of " + line + " is wrong.";
        case ImageFault::NoHeader:
            return "The file does not begin with a firmware header (" + line + ").";
        case ImageFault::OtherMaker:
            return "The header in " + line + " is not from Quillmar: the file is for another device.";
        case ImageFault::NoData:
            return "The file holds no firmware data before its end record in " + line + ".";
        case ImageFault::NoEndRecord:
            return "The file breaks off at " + line +
                   " before its end record: the download may not have finished.";
        case ImageFault::AfterEnd: return "Something follows the end record, in " + line + ".";
    }
    return "The file is not firmware (" + line + ").";
}

}  // namespace reflasher::firmware
