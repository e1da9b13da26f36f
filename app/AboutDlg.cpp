#include "app/AboutDlg.h"

#include "resources/resource.h"

// No parent: the base dialog makes the application's main window its owner.
CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

CAboutDlg::~CAboutDlg() = default;
