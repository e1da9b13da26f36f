// Build-time tool: writes the synthetic firmware image to the path given, so
// the 1 MB image is made on every build instead of living in the repository.
// Runs on the build host, also when the program itself is cross-compiled.
#include <cstdio>
#include <string>

#include "sim/LoaderOutcome.h"
#include "sim/SyntheticFirmware.h"

namespace {

// Writes through a temporary file, so an interrupted build never leaves a
// truncated image that looks up to date.
bool WriteFile(const std::string& path, const std::string& bytes) {
    const std::string partial = path + ".partial";
    std::FILE* file = std::fopen(partial.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::remove(partial.c_str());
        return false;
    }
    std::remove(path.c_str());
    return std::rename(partial.c_str(), path.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.hex>\n", argv[0]);
        return 2;
    }
    const std::string image = reflasher::sim::GenerateSyntheticFirmware();
    // The device model rejects a bad image; catch a broken generator here, at build time.
    const auto check = reflasher::sim::CheckAsLoader(
        reinterpret_cast<const unsigned char*>(image.data()), image.size());
    if (!check.Valid()) {
        std::fprintf(stderr, "generated image is invalid at line %zu: %s\n", check.line,
                     reflasher::sim::FaultName(check.fault));
        return 1;
    }
    if (!WriteFile(argv[1], image)) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
