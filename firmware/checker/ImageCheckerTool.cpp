// Build-time tool: reads the firmware image a build is about to embed, with the
// same reader the program uses on a chosen file, and fails the build with the
// fault and its line rather than ship an image the embosser can't take.
// Runs on the build host, also when the program itself is cross-compiled.
#include <cstdio>
#include <string>

#include "firmware/FirmwareImageReader.h"
#include "firmware/ImageFaultText.h"

namespace {

// The header's text is the file's own: only printable ASCII goes to the build log.
std::string Printable(const std::string& text) {
    std::string shown;
    for (char c : text) shown.push_back(c >= 0x20 && c < 0x7F ? c : '?');
    return shown;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <image.hex>\n", argv[0]);
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "rb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    reflasher::firmware::FirmwareImageReader reader;
    unsigned char buffer[64 * 1024];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0 && reader.Feed(buffer, count)) {
    }
    const bool readError = std::ferror(file) != 0;
    std::fclose(file);
    if (readError) {
        std::fprintf(stderr, "%s: read error\n", argv[1]);
        return 1;
    }
    const reflasher::firmware::ImageOutcome outcome = reader.Finish();
    if (!outcome.Usable()) {
        std::fprintf(stderr, "%s: not a firmware image for the Dovrex: %s\n", argv[1],
                     reflasher::firmware::ImageFaultText(outcome).c_str());
        return 1;
    }
    std::printf("%s: firmware image of %s, version %s\n", argv[1], Printable(outcome.maker).c_str(),
                Printable(outcome.version).c_str());
    return 0;
}
