#include "ui/win32/SessionEndBlock.h"

#include "texts/ProgramTexts.h"

void WindowSessionEndBlock::Block() {
    Allow();
    // Where no reason can be set (Wine keeps none), the refusal itself still works.
    const HWND window = window_.GetSafeHwnd();
    if (ShutdownBlockReasonCreate(window, reflasher::texts::kSessionEndBlocked)) blocked_ = window;
}

void WindowSessionEndBlock::Allow() {
    if (blocked_ == nullptr) return;
    ShutdownBlockReasonDestroy(blocked_);
    blocked_ = nullptr;
}
