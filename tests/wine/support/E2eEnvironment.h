// Where a scenario finds the programs and folders CTest hands it (Unix paths
// in environment variables, see tests/wine/e2e/CMakeLists.txt).
#pragma once

#include <string>

namespace reflasher::e2e {

struct E2eEnvironment {
    std::wstring embeddedProgram;  // Reflasher.exe carrying the synthetic image
    std::wstring fileModeProgram;  // Reflasher.exe without an image
    std::wstring bridgeProgram;    // embosser-bridge.exe
    std::wstring syntheticImage;   // the image the embedded program carries
    std::wstring jobSink;          // tools/wine-job-sink.sh
    std::wstring workFolder;       // this scenario's own folder for jobs, logs, files
    std::wstring shotFolder;       // where screenshots are asked for and land

    // Read from the environment; `missing` names the first variable not set.
    static E2eEnvironment FromVariables(std::string* missing);
};

// Unix path -> the Windows path Wine gives it.
std::wstring WindowsPath(const std::wstring& unixPath);

}  // namespace reflasher::e2e
