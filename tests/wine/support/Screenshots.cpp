#include "tests/wine/support/Screenshots.h"

#include <windows.h>

#include "tests/wine/support/E2eEnvironment.h"
#include "tests/wine/support/Files.h"
#include "tests/wine/support/Waiting.h"

namespace reflasher::e2e {

std::wstring TakeScreenshot(const std::wstring& shotFolderUnix, const std::wstring& name,
                            unsigned timeoutMs) {
    if (shotFolderUnix.empty()) return std::wstring();
    const std::wstring folder = WindowsPath(shotFolderUnix);
    const std::wstring picture = folder + L"\\" + name + L".png";
    const std::wstring request = folder + L"\\" + name + L".request";
    if (!MakeFolders(folder)) return std::wstring();
    DeleteFileW(picture.c_str());
    if (!WriteFileBytes(request, {})) return std::wstring();
    // The request goes away when it has been answered; the picture then is there
    // unless taking it failed.
    if (!WaitUntil([&] { return !FileExists(request); }, timeoutMs)) {
        DeleteFileW(request.c_str());
        return std::wstring();
    }
    return FileExists(picture) ? shotFolderUnix + L"/" + name + L".png" : std::wstring();
}

}  // namespace reflasher::e2e
