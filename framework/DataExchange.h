// Data exchange between a dialog's members and its controls, one direction per call.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Wnd.h"

struct CDataExchange {
    HWND dialog = nullptr;
    // true: from the controls into the members; false: from the members to the controls.
    bool saveAndValidate = false;
};

// Binds `control` to the dialog's child `id` (both directions; binding again is harmless).
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

// The text of child `id` and `value`, in the exchange's direction.
void DDX_Text(CDataExchange* dx, int id, std::wstring& value);
