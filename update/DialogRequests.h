// What an update run may ask of the dialog: the progress bar, the status line,
// repaints, message boxes owned by the dialog window, and word that the embosser's
// work is over. Every call comes from the worker thread, and only while the busy
// flag is set: once the worker clears it, the dialog may already be gone.
#pragma once

#include <string>

namespace reflasher {

enum class MessageIcon { Warning, Information };

class DialogRequests {
public:
    virtual ~DialogRequests() = default;

    // PBM_SETRANGE with the bounds packed as a 16-bit range.
    virtual void SetProgressRange(int lower, int upper) = 0;
    // PBM_SETPOS.
    virtual void SetProgressPos(int position) = 0;
    // Assigns statusText, then sets the status line's (IDC_STATUS_LINE) window text to it.
    virtual void SetStatusLine(const std::wstring& text) = 0;
    // Invalidate the whole dialog without erasing, then update it now.
    virtual void RepaintDialog() = 0;
    // Invalidate the progress bar with erasing, then update it now.
    virtual void RepaintProgressBar() = 0;
    // A modal box with one OK button, owned by the dialog; returns once closed.
    virtual void ShowMessage(const std::wstring& text, const std::wstring& caption,
                             MessageIcon icon) = 0;

    // The embosser is done with: the printer is closed for the last time (after
    // flash polling, or at any earlier end of the run). Called once per run, before
    // the final message, so that what is held for the device's sake is let go even
    // while the result is still on screen.
    virtual void DeviceWorkEnded() = 0;
};

}  // namespace reflasher
