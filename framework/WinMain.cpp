// The program's entry point. Kept out of the framework library and linked into the
// executable as an object: the C runtime looks for wWinMain only after our
// libraries have been searched.
#include <windows.h>

#include "framework/WinApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) return 1;
    // No command line is read, and no loop runs here: the main dialog's modal loop,
    // inside InitInstance, is the program's only one.
    app->InitInstance();
    return app->ExitInstance();
}
