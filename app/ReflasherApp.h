// CReflasherApp: the application object. It runs the main dialog modally and
// ends the program when the dialog closes.
#pragma once

#include "framework/WinApp.h"

class CReflasherApp : public CWinApp {
public:
    CReflasherApp();
    ~CReflasherApp() override;

    // Returns false: the main dialog's modal loop was the program's only one.
    BOOL InitInstance() override;
};
