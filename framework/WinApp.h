// CWinApp: the one application object. The program defines one global object of a
// class derived from it; the entry point (WinMain.cpp) calls its InitInstance.
#pragma once

#include <windows.h>

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The program's work. Our program runs its main dialog in here and returns false:
    // it has no message loop of its own.
    virtual BOOL InitInstance();
    // The process's exit code.
    virtual int ExitInstance();

    // The main window while it exists; dialogs without a parent are owned by it.
    CWnd* m_pMainWnd = nullptr;
};

// The application object, or null in a program that has none (the tests).
CWinApp* AfxGetApp();

// The module whose resources the dialogs and pictures come from: the executable.
HINSTANCE AfxGetResourceHandle();
