#include "ui/SessionEndBlock.h"

#include "ui/DialogTexts.h"

void SessionEndBlock::Begin(HWND window) {
    End();
    // A reason that can't be set (older systems, Wine) leaves the refusal itself working.
    if (ShutdownBlockReasonCreate(window, texts::kSessionEndBlocked)) window_ = window;
}

void SessionEndBlock::End() {
    if (window_ == nullptr) return;
    ShutdownBlockReasonDestroy(window_);
    window_ = nullptr;
}
