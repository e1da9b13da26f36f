#include "framework/WinApp.h"

namespace {
CWinApp* theApplication = nullptr;
}

CWinApp::CWinApp() {
    // Built during start-up, before the entry point runs; there is only one.
    theApplication = this;
}

CWinApp::~CWinApp() {
    if (theApplication == this) theApplication = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

CWinApp* AfxGetApp() { return theApplication; }

HINSTANCE AfxGetResourceHandle() { return GetModuleHandleW(nullptr); }
