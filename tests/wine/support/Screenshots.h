// Screenshots of the display the program runs on. A Windows program can't run
// ImageMagick itself, so it leaves <name>.request in the shot folder and the
// scenario's wrapper script (host side) answers with `import -window root`,
// writing <name>.png and removing the request.
#pragma once

#include <string>

namespace reflasher::e2e {

// The Unix path of the picture, or empty when none came within `timeoutMs`.
std::wstring TakeScreenshot(const std::wstring& shotFolderUnix, const std::wstring& name,
                            unsigned timeoutMs);

}  // namespace reflasher::e2e
