// What the update run needs of the dialog: the progress bar, the status line,
// repaints and message boxes owned by the dialog window.
#pragma once

#include <string>

namespace reflasher {

enum class MessageIcon { Warning, Information };

class UpdateDialog {
public:
    virtual ~UpdateDialog() = default;

    // PBM_SETRANGE with the bounds packed as a 16-bit range.
    virtual void SetProgressRange(int lower, int upper) = 0;
    // PBM_SETPOS.
    virtual void SetProgressPos(int position) = 0;
    // Assigns statusText, then sets control 1012's window text to it.
    virtual void SetStatusLine(const std::wstring& text) = 0;
    // Invalidate the whole dialog without erasing, then update it now.
    virtual void RepaintDialog() = 0;
    // Invalidate the progress bar with erasing, then update it now.
    virtual void RepaintProgressBar() = 0;
    // A modal box with one OK button, owned by the dialog; returns once closed.
    virtual void ShowMessage(const std::wstring& text, const std::wstring& caption,
                             MessageIcon icon) = 0;

    // The printer the run opens; the run takes one copy when it starts.
    virtual std::wstring SelectedPrinter() const = 0;
    // The file chosen with Browse (used only without an embedded image).
    virtual std::wstring FirmwarePath() const = 0;
};

}  // namespace reflasher
