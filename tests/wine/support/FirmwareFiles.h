// Firmware files a user might choose with Browse: valid images that differ from
// the embedded one, so a run that delivers them proves the chosen file was sent.
#pragma once

#include <string>
#include <vector>

namespace reflasher::e2e {

// A valid image of its own (another version and data pattern), as bytes.
std::vector<unsigned char> ChosenFirmwareImage();

// Writes it under the work folder, in a folder and file name with blanks, as
// users' paths have them. Gives its Windows path, or empty on failure.
std::wstring WriteChosenFirmware(const std::wstring& workFolderUnix,
                                 const std::vector<unsigned char>& image);

}  // namespace reflasher::e2e
