// Ending the Windows session mid-flash can leave the embosser unusable. While the
// embosser works the dialog refuses WM_QUERYENDSESSION, and this registers the
// reason Windows shows the user for the refusal. Windows takes the reason only
// from the thread that created the window, so Block and Allow run on the dialog's.
#pragma once

#include <windows.h>

#include "framework/Wnd.h"
#include "ui/RunHold.h"

class WindowSessionEndBlock : public reflasher::SessionEndBlock {
public:
    // For `window`, whose handle is read when the block begins.
    explicit WindowSessionEndBlock(const CWnd& window) : window_(window) {}
    ~WindowSessionEndBlock() override { Allow(); }
    WindowSessionEndBlock(const WindowSessionEndBlock&) = delete;
    WindowSessionEndBlock& operator=(const WindowSessionEndBlock&) = delete;

    // ShutdownBlockReasonCreate, with the reason the user reads.
    void Block() override;
    // ShutdownBlockReasonDestroy, if Block set a reason; safe to call again.
    void Allow() override;

private:
    const CWnd& window_;
    HWND blocked_ = nullptr;
};
