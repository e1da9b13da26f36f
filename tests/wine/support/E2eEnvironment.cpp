#include "tests/wine/support/E2eEnvironment.h"

#include <cstring>
#include <utility>

#include "sim/win32/wine/HostPaths.h"

namespace reflasher::e2e {

std::wstring WindowsPath(const std::wstring& unixPath) { return wineprefix::WinePathOf(unixPath); }

E2eEnvironment E2eEnvironment::FromVariables(std::string* missing) {
    E2eEnvironment environment;
    const std::pair<const char*, std::wstring*> variables[] = {
        {"REFLASHER_E2E_EMBEDDED_EXE", &environment.embeddedProgram},
        {"REFLASHER_E2E_FILEMODE_EXE", &environment.fileModeProgram},
        {"REFLASHER_E2E_BRIDGE_EXE", &environment.bridgeProgram},
        {"REFLASHER_E2E_IMAGE", &environment.syntheticImage},
        {"REFLASHER_JOB_SINK", &environment.jobSink},
        {"REFLASHER_E2E_WORK_DIR", &environment.workFolder},
        {"REFLASHER_E2E_SHOT_DIR", &environment.shotFolder},
    };
    for (const auto& [name, value] : variables) {
        *value = wineprefix::EnvironmentValue(std::wstring(name, name + std::strlen(name)).c_str());
        if (value->empty() && missing != nullptr && missing->empty()) *missing = name;
    }
    return environment;
}

}  // namespace reflasher::e2e
