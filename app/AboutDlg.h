// CAboutDlg: the About box (IDD_ABOUTBOX), opened from the main dialog's system
// menu. OK, Enter, Escape and the close box end it through the base dialog's
// standard handling; it exchanges no data and changes nothing.
#pragma once

#include "framework/Dialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    ~CAboutDlg() override;
};
