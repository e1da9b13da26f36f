// Turns the drawings into the files the resource script names.
#pragma once

#include <string>
#include <vector>

#include "tools/art/Bytes.h"

namespace reflasher::art {

struct OutputFile {
    std::string name;
    Bytes content;
};

// busy-1.bmp .. busy-4.bmp, logo.bmp and Reflasher.ico; and for each larger scale
// busy-<n>-<percent>.bmp and logo-<percent>.bmp.
std::vector<OutputFile> MakeResourceFiles();

// The same pictures as raw pixels, top row first: .rgb (3 bytes a pixel) for the
// bitmaps and .rgba for each icon image in file order (icon-<n>.rgba, with
// transparent pixels as 0,0,0,0). Lets a check decode the files with an
// independent reader and compare.
std::vector<OutputFile> MakeReferencePixels();

}  // namespace reflasher::art
