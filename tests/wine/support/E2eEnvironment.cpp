#include "tests/wine/support/E2eEnvironment.h"

#include "sim/win32/wine/HostPaths.h"

namespace reflasher::e2e {

std::wstring WindowsPath(const std::wstring& unixPath) { return wineprefix::WinePathOf(unixPath); }

E2eEnvironment E2eEnvironment::FromVariables(std::string* missing) {
    E2eEnvironment environment;
    const struct {
        const wchar_t* wide;
        const char* name;
        std::wstring* value;
    } variables[] = {
        {L"REFLASHER_E2E_EMBEDDED_EXE", "REFLASHER_E2E_EMBEDDED_EXE", &environment.embeddedProgram},
        {L"REFLASHER_E2E_FILEMODE_EXE", "REFLASHER_E2E_FILEMODE_EXE", &environment.fileModeProgram},
        {L"REFLASHER_E2E_BRIDGE_EXE", "REFLASHER_E2E_BRIDGE_EXE", &environment.bridgeProgram},
        {L"REFLASHER_E2E_IMAGE", "REFLASHER_E2E_IMAGE", &environment.syntheticImage},
        {L"REFLASHER_JOB_SINK", "REFLASHER_JOB_SINK", &environment.jobSink},
        {L"REFLASHER_E2E_WORK_DIR", "REFLASHER_E2E_WORK_DIR", &environment.workFolder},
        {L"REFLASHER_E2E_SHOT_DIR", "REFLASHER_E2E_SHOT_DIR", &environment.shotFolder},
    };
    for (const auto& variable : variables) {
        *variable.value = wineprefix::EnvironmentValue(variable.wide);
        if (variable.value->empty() && missing != nullptr && missing->empty())
            *missing = variable.name;
    }
    return environment;
}

}  // namespace reflasher::e2e
