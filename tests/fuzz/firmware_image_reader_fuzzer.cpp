// Untrusted files through the program's image reader: it must never crash,
// give the same verdict however the bytes are split, name a line the file has,
// take every image the simulated embosser takes, and not judge line ends.
#include <algorithm>
#include <cstdint>
#include <string>

#include "firmware/FirmwareImageReader.h"
#include "firmware/ImageFaultText.h"
#include "sim/LoaderOutcome.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

using reflasher::firmware::ImageFault;
using reflasher::firmware::ImageOutcome;

bool SameOutcome(const ImageOutcome& a, const ImageOutcome& b) {
    return a.fault == b.fault && a.line == b.line && a.maker == b.maker && a.version == b.version;
}

bool IsQuillmar(std::string maker) {
    for (char& c : maker) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return maker == "quillmar";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ImageOutcome whole = reflasher::firmware::ReadFirmwareImage(data, size);

    // Split where the first byte says, then in pieces of its low bits' size.
    reflasher::firmware::FirmwareImageReader pieces;
    const std::size_t piece = size > 0 ? 1 + data[0] % 61 : 1;
    for (std::size_t at = 0; at < size; at += piece) pieces.Feed(data + at, std::min(piece, size - at));
    FUZZ_CHECK(SameOutcome(whole, pieces.Finish()));

    const std::size_t lineFeeds = static_cast<std::size_t>(std::count(data, data + size, '\n'));
    FUZZ_CHECK((whole.fault == ImageFault::Empty) == (size == 0));
    FUZZ_CHECK(whole.line <= lineFeeds + 1);
    FUZZ_CHECK((whole.line == 0) == (whole.Usable() || size == 0));
    FUZZ_CHECK(reflasher::firmware::ImageFaultText(whole).empty() == whole.Usable());
    if (whole.Usable()) FUZZ_CHECK(IsQuillmar(whole.maker));

    // The program never refuses what the embosser would take.
    if (reflasher::sim::CheckAsLoader(data, size).Valid()) FUZZ_CHECK(whole.Usable());

    // Nor does it judge line ends: CR LF as LF alone gives the same verdict.
    if (whole.Usable()) {
        std::string lineFeedsOnly(reinterpret_cast<const char*>(data), size);
        for (std::size_t at; (at = lineFeedsOnly.find("\r\n")) != std::string::npos;) lineFeedsOnly.erase(at, 1);
        const ImageOutcome again = reflasher::firmware::ReadFirmwareImage(
            reinterpret_cast<const unsigned char*>(lineFeedsOnly.data()), lineFeedsOnly.size());
        FUZZ_CHECK(again.Usable());
    }
    return 0;
}
