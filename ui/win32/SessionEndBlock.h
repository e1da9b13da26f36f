// Ending the Windows session mid-flash can leave the embosser unusable. While a
// run is under way the dialog refuses WM_QUERYENDSESSION, and this registers the
// reason Windows shows the user for the refusal. Windows takes the reason only
// from the thread that created the window, so Begin and End run on the dialog's.
#pragma once

#include <windows.h>

class SessionEndBlock {
public:
    SessionEndBlock() = default;
    ~SessionEndBlock() { End(); }
    SessionEndBlock(const SessionEndBlock&) = delete;
    SessionEndBlock& operator=(const SessionEndBlock&) = delete;

    // ShutdownBlockReasonCreate for `window`, with the reason the user reads.
    void Begin(HWND window);
    // ShutdownBlockReasonDestroy, if Begin set a reason; safe to call again.
    void End();

private:
    HWND window_ = nullptr;
};
