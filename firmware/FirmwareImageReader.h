// Reads a firmware image before it goes anywhere and refuses what surely can't
// be firmware for the Dovrex: text that isn't S-records of its kind, a broken
// record, another maker's header, no data, a file cut off before its end record.
// It leaves the rest to the embosser, which judges what it receives: line ends
// (CR LF or LF alone), record lengths, addresses and gaps between them.
#pragma once

#include <cstddef>
#include <string>

#include "firmware/SRecord.h"

namespace reflasher::firmware {

// The first thing found wrong; the reader stops there.
enum class ImageFault {
    None,
    Empty,          // no bytes at all
    NotARecord,     // a line that doesn't begin with "SV", "S3" or "SP"
    NotHex,         // a character in a record that is not a hex digit
    CountMismatch,  // the record is longer or shorter than its count byte says
    BadChecksum,
    NoHeader,       // the first record is not the SV header
    OtherMaker,     // the header doesn't read "<maker>:<version>" with the maker Quillmar
    NoData,         // the end record comes before any S3 data record
    NoEndRecord,    // the file stops before its SP end record (a download cut short)
    AfterEnd,       // something other than line ends after the end record
};

struct ImageOutcome {
    ImageFault fault = ImageFault::None;
    std::size_t line = 0;  // 1-based line of the fault; 0 for an empty file, or none
    // From the header, as written: the maker before the colon, the version field after it.
    std::string maker;
    std::string version;

    bool Usable() const { return fault == ImageFault::None; }
};

// Takes the image in pieces of any size, in one pass, so a file is read only up
// to its first fault and never needs to be held whole.
class FirmwareImageReader {
public:
    // The next bytes; false once a fault is known (there is no point in more).
    bool Feed(const unsigned char* bytes, std::size_t size);
    // The outcome, once every byte has been fed.
    ImageOutcome Finish();

private:
    // The longest line a record can be: type, count and 255 counted bytes, then a CR.
    static constexpr std::size_t kLongestLine = 2 + 2 * (1 + 0xFF) + 1;

    // Judges the line gathered so far; `cutOff` when the file ends inside it.
    bool TakeLine(bool cutOff);
    bool TakeRecord(const SRecord& record);
    bool Fail(ImageFault fault);

    ImageOutcome report_;
    std::string line_;      // the current line, without its LF
    SRecord record_;        // reused for every line
    std::size_t lineNumber_ = 1;
    bool anyBytes_ = false;
    bool headerSeen_ = false;
    bool dataSeen_ = false;
    bool ended_ = false;    // the SP end record has been read
    bool failed_ = false;
};

// The whole image at once.
ImageOutcome ReadFirmwareImage(const unsigned char* bytes, std::size_t size);

}  // namespace reflasher::firmware
