#include "ui/win32/SessionEndBlock.h"

#include "ui/DialogTexts.h"

void SessionEndBlock::Begin(HWND window) {
    End();
    // Where no reason can be set (Wine keeps none), the refusal itself still works.
    if (ShutdownBlockReasonCreate(window, texts::kSessionEndBlocked)) window_ = window;
}

void SessionEndBlock::End() {
    if (window_ == nullptr) return;
    ShutdownBlockReasonDestroy(window_);
    window_ = nullptr;
}
