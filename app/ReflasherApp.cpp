#include "app/ReflasherApp.h"

#include <windows.h>
#include <commctrl.h>

#include "ui/DownloadInProgress.h"
#include "ui/win32/ReflasherDlg.h"

// The one application object, built before the entry point runs.
CReflasherApp theApp;

CReflasherApp::CReflasherApp() = default;

CReflasherApp::~CReflasherApp() = default;

BOOL CReflasherApp::InitInstance() {
    // Registers the common control classes the dialog uses, the progress bar among them.
    InitCommonControls();
    CWinApp::InitInstance();

    CReflasherDlg dialog;
    m_pMainWnd = &dialog;
    // Its result (OK, Cancel, or none after Exit) makes no difference: the program ends.
    dialog.DoModal();
    m_pMainWnd = nullptr;
    // Left while a spooler call of the run hung: the worker may still come back from
    // it and reach the dialog and the program's services. The process ends here, with
    // the worker, before any of those is destroyed.
    if (downloadInProgress) ExitProcess(0);
    return FALSE;
}
