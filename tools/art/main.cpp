// Draws the program's bitmaps and icon into a folder:
//   reflasher-art <folder>                 the resource files
//   reflasher-art --reference <folder>     their raw pixels, for checking the files
#include <cstdio>
#include <fstream>
#include <string>

#include "tools/art/Outputs.h"

namespace {

bool WriteAll(const std::string& folder, const std::vector<reflasher::art::OutputFile>& files) {
    for (const auto& file : files) {
        const std::string path = folder + "/" + file.name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.content.data()),
                  static_cast<std::streamsize>(file.content.size()));
        if (!out) {
            std::fprintf(stderr, "reflasher-art: cannot write %s\n", path.c_str());
            return false;
        }
        std::printf("%s (%zu bytes)\n", path.c_str(), file.content.size());
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string usage = "usage: reflasher-art [--reference] <folder>\n";
    if (argc == 2 && std::string(argv[1]) != "--reference") {
        return WriteAll(argv[1], reflasher::art::MakeResourceFiles()) ? 0 : 1;
    }
    if (argc == 3 && std::string(argv[1]) == "--reference") {
        return WriteAll(argv[2], reflasher::art::MakeReferencePixels()) ? 0 : 1;
    }
    std::fputs(usage.c_str(), stderr);
    return 2;
}
