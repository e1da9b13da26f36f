// Ending the Windows session mid-flash can leave the embosser unusable. While
// RunHold refuses the session's end (the embosser works and no spooler call hangs),
// the dialog answers WM_QUERYENDSESSION with a refusal, and Block asks Windows to
// show the user the reason; where Windows keeps none (Wine), only the refusal
// remains. Windows takes the reason only from the thread that created the window:
// nothing here checks the thread, the dialog calls Block and Allow on its own.
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
