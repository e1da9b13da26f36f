#include "tests/wine/support/Accessibility.h"

#include <oleacc.h>

#include "tests/wine/support/Windows.h"

namespace reflasher::visuals {
namespace {

// (IAccessible's id from the header, as in ui/win32/ControlAccessibility.cpp: the x86_64
// oleacc import library's IID_IAccessible is an import thunk, not the GUID.)

// The hook's callback has no context argument; one recorder at a time is enough.
WinEventRecorder* activeRecorder = nullptr;

VARIANT Self() {
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
}

}  // namespace

ComScope::ComScope() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

ComScope::~ComScope() {
    if (ok_) CoUninitialize();
}

std::optional<std::wstring> AccessibleName(HWND window) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))) ||
        object == nullptr) {
        return std::nullopt;
    }
    BSTR name = nullptr;
    const HRESULT result = object->get_accName(Self(), &name);
    object->Release();
    if (FAILED(result)) return std::nullopt;
    std::wstring text = name != nullptr ? std::wstring(name, SysStringLen(name)) : std::wstring();
    SysFreeString(name);
    return text;
}

WinEventRecorder::WinEventRecorder(DWORD processId, DWORD first, DWORD last)
    : ready_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    activeRecorder = this;
    thread_ = std::thread([=] { Run(processId, first, last); });
    WaitForSingleObject(ready_, 10000);
}

WinEventRecorder::~WinEventRecorder() {
    if (threadId_ != 0) PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    if (thread_.joinable()) thread_.join();
    activeRecorder = nullptr;
    CloseHandle(ready_);
}

void WinEventRecorder::Run(DWORD processId, DWORD first, DWORD last) {
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0,
                 PM_NOREMOVE);  // the thread's queue, before anyone posts to it
    threadId_ = GetCurrentThreadId();
    const HWINEVENTHOOK hook =
        SetWinEventHook(first, last, nullptr, &WinEventRecorder::OnEvent, processId, 0,
                        WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    hooked_ = hook != nullptr;
    SetEvent(ready_);
    // Out-of-context events come to this thread as messages.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    if (hook != nullptr) UnhookWinEvent(hook);
}

void CALLBACK WinEventRecorder::OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object,
                                        LONG child, DWORD, DWORD) {
    WinEventRecorder* self = activeRecorder;
    if (self == nullptr) return;
    WinEventSeen seen{event, window, object, child, e2e::WindowText(window), GetTickCount64()};
    std::lock_guard<std::mutex> lock(self->mutex_);
    self->events_.push_back(std::move(seen));
}

std::vector<WinEventSeen> WinEventRecorder::Events() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
}

std::vector<WinEventSeen> WinEventRecorder::Events(DWORD event, HWND window) const {
    std::vector<WinEventSeen> picked;
    for (const WinEventSeen& seen : Events()) {
        if (seen.event == event && seen.window == window) picked.push_back(seen);
    }
    return picked;
}

}  // namespace reflasher::visuals
