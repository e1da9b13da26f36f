// The program's entry point. Kept out of the framework library and linked into the
// executable as an object: the C runtime looks for wWinMain only after our
// libraries have been searched.
#include <windows.h>

#include "win32/SystemLibrary.h"
#include "framework/WinApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Before anything can load a DLL: the file dialog, the common controls and
    // accessibility load more of them as they go.
    reflasher::RestrictDllSearchToSystemFolder();
    CWinApp* app = AfxGetApp();
    if (app == nullptr) return 1;
    // No command line is read, and no loop runs here: the main dialog's modal loop,
    // inside InitInstance, is the program's only one.
    app->InitInstance();
    return app->ExitInstance();
}
