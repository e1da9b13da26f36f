#include "ui/win32/NotAnsweringBox.h"

#include <atomic>
#include <memory>
#include <string>

#include "framework/Thread.h"

namespace {

// Posted to the box's thread, never to a window: "close your box". A message box's
// own loop drops messages for no window, so a hook of that thread looks for it.
constexpr UINT kCloseBox = WM_APP + 0x40;
// How long the owner waits for a closed box's thread to end.
constexpr DWORD kBoxEndMs = 5000;

BOOL CALLBACK EndMessageBox(HWND window, LPARAM found) {
    wchar_t className[8] = {};
    if (GetClassNameW(window, className, 8) == 6 && lstrcmpW(className, L"#32770") == 0) {
        EndDialog(window, IDOK);
        *reinterpret_cast<bool*>(found) = true;
    }
    return TRUE;
}

LRESULT CALLBACK CloseOnRequest(int code, WPARAM removal, LPARAM lParam) {
    MSG* message = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && removal == PM_REMOVE && message->hwnd == nullptr &&
        message->message == kCloseBox) {
        message->message = WM_NULL;
        bool found = false;
        EnumThreadWindows(GetCurrentThreadId(), &EndMessageBox, reinterpret_cast<LPARAM>(&found));
        // Taken before the box was made: asked again, for the box's own loop.
        if (!found) PostThreadMessageW(GetCurrentThreadId(), kCloseBox, 0, 0);
    }
    return CallNextHookEx(nullptr, code, removal, lParam);
}

}  // namespace

struct ThreadNotAnsweringBox::Request {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
    // Set before kCloseBox is posted: a thread that has no queue yet for it to reach
    // sees this before it shows the box, and then shows none.
    std::atomic<bool> closing{false};
};

unsigned __stdcall ThreadNotAnsweringBox::ShowBox(void* parameter) {
    const std::unique_ptr<std::shared_ptr<Request>> owned(
        static_cast<std::shared_ptr<Request>*>(parameter));
    const Request& request = **owned;
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // makes the queue
    const reflasher::UniqueHook hook(
        SetWindowsHookExW(WH_GETMESSAGE, &CloseOnRequest, nullptr, GetCurrentThreadId()));
    if (request.closing) return 0;
    MessageBoxW(request.owner, request.text.c_str(), request.caption.c_str(), request.type);
    return 0;
}

ThreadNotAnsweringBox::~ThreadNotAnsweringBox() {
    Close();
    WaitUntilGone(kBoxEndMs);
}

void ThreadNotAnsweringBox::Show(const reflasher::RunMessage& message) {
    Close();
    auto request = std::make_shared<Request>();
    request->owner = owner_.GetSafeHwnd();
    request->text = message.text;
    request->caption = message.caption;
    request->type = MB_OK | (message.icon == reflasher::MessageIcon::Warning ? MB_ICONWARNING
                                                                              : MB_ICONINFORMATION);
    // From here a Close is for this box, even before its thread runs: what the owner's
    // thread carries out while it waits for the earlier box's thread may close it.
    shown_ = request;
    WaitUntilGone(kBoxEndMs);  // closed long ago; its thread ends here at the latest
    thread_.Reset();
    threadId_ = 0;
    if (request->closing) return;
    auto threadsOwn = std::make_unique<std::shared_ptr<Request>>(request);
    thread_ = BeginOwnedThread(&ShowBox, threadsOwn.get());
    if (!thread_) return;
    threadsOwn.release();
    threadId_ = GetThreadId(thread_.get());
}

void ThreadNotAnsweringBox::Close() {
    if (!shown_) return;
    shown_->closing = true;
    // While the handle is held the thread's id can't name another thread. Fails
    // harmlessly when the thread has no queue yet, or has ended.
    if (threadId_ != 0) PostThreadMessageW(threadId_, kCloseBox, 0, 0);
}

void ThreadNotAnsweringBox::WaitUntilGone(DWORD timeoutMs) {
    if (thread_) WaitForThreadLettingSentMessagesThrough(thread_.get(), timeoutMs);
}
