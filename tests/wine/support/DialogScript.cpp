#include "tests/wine/support/DialogScript.h"

#include <thread>

#include "tests/wine/support/Waiting.h"

namespace dialog_script {
namespace {

constexpr UINT kSyncMessage = WM_APP + 1;
constexpr UINT kRunMessage = WM_APP + 2;
constexpr wchar_t kWindowClass[] = L"ReflasherDialogScriptThread";

}  // namespace

DialogThread::DialogThread() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &DialogThread::WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);  // fails harmlessly when already registered
    synced_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    window_ = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(synced_));
}

DialogThread::~DialogThread() {
    DestroyWindow(window_);
    CloseHandle(synced_);
}

bool DialogThread::Sync(DWORD timeoutMs) const {
    // Posted messages of one thread are handled in order, so this one comes after the rest.
    PostMessageW(window_, kSyncMessage, 0, 0);
    return WaitForSingleObject(synced_, timeoutMs) == WAIT_OBJECT_0;
}

void DialogThread::Run(const std::function<void()>& work) const {
    SendMessageW(window_, kRunMessage, 0, reinterpret_cast<LPARAM>(&work));
}

LRESULT CALLBACK DialogThread::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kSyncMessage) {
        SetEvent(reinterpret_cast<HANDLE>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)));
        return 0;
    }
    if (message == kRunMessage) {
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

INT_PTR RunAlongside(const std::function<INT_PTR()>& runModal, const std::function<void()>& script) {
    std::thread scriptThread(script);
    const INT_PTR result = runModal();
    scriptThread.join();
    return result;
}

INT_PTR RunWithScript(const wchar_t* caption, const std::function<INT_PTR()>& runModal,
                      const std::function<void(HWND dialog)>& script) {
    const std::wstring title(caption);
    return RunAlongside(runModal, [&script, title] {
        const HWND dialog = WaitForWindow(title.c_str());
        if (dialog == nullptr) return;
        script(dialog);
        if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
}

HWND FindWindowByCaption(const wchar_t* caption) {
    for (const auto& window : reflasher::e2e::VisibleTopLevelWindows(GetCurrentProcessId())) {
        if (window.caption == caption) return window.window;
    }
    return nullptr;
}

HWND WaitForWindow(const wchar_t* caption, DWORD timeoutMs) {
    HWND found = nullptr;
    reflasher::e2e::WaitUntil([&] { return (found = FindWindowByCaption(caption)) != nullptr; },
                              timeoutMs);
    return found;
}

std::wstring TakeMessageBox(const wchar_t* caption, DWORD timeoutMs) {
    const HWND box = WaitForWindow(caption, timeoutMs);
    if (box == nullptr) return L"<no message box>";
    const std::wstring text = ReadMessageBox(box).text;
    AnswerMessageBox(box);
    return text;
}

}  // namespace dialog_script
