// The common "Open" dialog the program shows for Browse, driven as a user
// would: the path typed into its file name field, then Open pressed.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace reflasher::e2e {

struct OpenDialogSeen {
    HWND window = nullptr;
    HWND owner = nullptr;
    std::wstring caption;
    HWND fileNameField = nullptr;
    std::wstring fileNameText;  // what the field held when it was found (the initial name)
    std::vector<std::wstring> fileTypes;  // the lines of the file type list
    int fileTypeSelected = -1;
};

// Waits for a file dialog of the process (a dialog that has an edit field).
OpenDialogSeen WaitForOpenDialog(DWORD processId, unsigned timeoutMs);

// Types `windowsPath` into the field, presses Open and waits until the dialog is gone.
bool ChooseFile(const OpenDialogSeen& dialog, const std::wstring& windowsPath, unsigned timeoutMs);

}  // namespace reflasher::e2e
