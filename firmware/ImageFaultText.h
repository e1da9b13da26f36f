// A reader's outcome in words a user understands, naming the line.
#pragma once

#include <string>

#include "firmware/FirmwareImageReader.h"

namespace reflasher::firmware {

// One sentence, such as "The checksum of line 2 is wrong."; empty for a usable image.
std::string ImageFaultText(const ImageOutcome& outcome);

}  // namespace reflasher::firmware
