// Thin wrappers over the dialog's controls: each call is one message to the
// control, so they may be used from any thread (the control's own thread
// carries the message out).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/Wnd.h"

class CStatic : public CWnd {
public:
    // STM_SETIMAGE with a bitmap; gives the picture shown before (the caller owns it).
    HBITMAP SetBitmap(HBITMAP bitmap) const {
        return reinterpret_cast<HBITMAP>(
            SendMessageTo(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    }
};

class CProgressCtrl : public CWnd {
public:
    // PBM_SETRANGE takes a 16-bit range: lower bound in the low word, upper in the high word.
    void SetRange(short lower, short upper) const {
        SendMessageTo(PBM_SETRANGE, 0, MAKELPARAM(lower, upper));
    }
    int SetPos(int position) const {
        return static_cast<int>(SendMessageTo(PBM_SETPOS, static_cast<WPARAM>(position)));
    }
};

class CComboBox : public CWnd {
public:
    // Index of the new line, or CB_ERR / CB_ERRSPACE.
    int AddString(const std::wstring& text) const {
        return static_cast<int>(SendMessageTo(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    int SetCurSel(int index) const {
        return static_cast<int>(SendMessageTo(CB_SETCURSEL, static_cast<WPARAM>(index)));
    }
    // -1 (CB_ERR) when no line is selected.
    int GetCurSel() const { return static_cast<int>(SendMessageTo(CB_GETCURSEL)); }
    int GetCount() const { return static_cast<int>(SendMessageTo(CB_GETCOUNT)); }
};
