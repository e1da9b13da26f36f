#include "framework/Dialog.h"

#include "framework/WinApp.h"

namespace {

// For these the dialog procedure returns the result itself instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_VKEYTOITEM:
        return true;
    default:
        return false;
    }
}

void CenterOnOwner(HWND dialog, HWND owner) {
    RECT ownerRect;
    RECT dialogRect;
    if (!GetWindowRect(owner, &ownerRect) || !GetWindowRect(dialog, &dialogRect)) return;
    const int width = dialogRect.right - dialogRect.left;
    const int height = dialogRect.bottom - dialogRect.top;
    const int x = ownerRect.left + (ownerRect.right - ownerRect.left - width) / 2;
    const int y = ownerRect.top + (ownerRect.bottom - ownerRect.top - height) / 2;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

struct CDialog::Dispatch {
    Dispatch* outer;  // a handler may run a nested modal loop, so dispatches nest
    bool wantsDefault;
};

CDialog::CDialog(UINT templateId, CWnd* parent) : templateId_(templateId), parent_(parent) {}

CDialog::~CDialog() = default;

const MessageMap* CDialog::GetThisMessageMap() {
    static const MessageMapEntry entries[] = {
        msgmap::Command<&CDialog::OnOK>(IDOK, BN_CLICKED),
        msgmap::Command<&CDialog::OnCancel>(IDCANCEL, BN_CLICKED),
    };
    static const MessageMap map{nullptr, entries, sizeof entries / sizeof entries[0]};
    return &map;
}

const MessageMap* CDialog::GetMessageMap() const { return GetThisMessageMap(); }

HWND CDialog::OwnerWindow() const {
    if (parent_ != nullptr) return parent_->GetSafeHwnd();
    const CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd != nullptr && app->m_pMainWnd != this) {
        return app->m_pMainWnd->GetSafeHwnd();
    }
    return nullptr;
}

INT_PTR CDialog::DoModal() {
    created_ = false;
    ended_ = false;
    result_ = kNoResult;
    DialogBoxParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(templateId_), OwnerWindow(),
                    &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    // Our own record, not DialogBoxParamW's value, tells the three endings apart.
    if (!created_) return kCreateFailed;
    return ended_ ? result_ : kNoResult;
}

void CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange dx{GetSafeHwnd(), saveAndValidate};
    DoDataExchange(&dx);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(INT_PTR result) {
    ended_ = true;
    result_ = result;
    ::EndDialog(GetSafeHwnd(), result);
}

void CDialog::Default() {
    if (current_ != nullptr) current_->wantsDefault = true;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        return self->HandleInitDialog(hwnd);
    }
    // Messages that come before WM_INITDIALOG (WM_SETFONT and the like) have no object yet.
    auto* self = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (self == nullptr) return FALSE;

    if (message == WM_DESTROY && !self->ended_) {
        // Destroyed without EndDialog: end the modal loop too (and re-enable the owner),
        // with no result of its own.
        ::EndDialog(hwnd, kNoResult);
    }
    const INT_PTR handled = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->Bind(nullptr);
        // The modal loop looks for its window only after its next message; when the
        // window went while a sent message was handled, none may come. Give it one.
        if (!self->ended_) PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
    }
    return handled;
}

INT_PTR CDialog::HandleInitDialog(HWND hwnd) {
    created_ = true;
    Bind(hwnd);
    Dispatch dispatch{current_, false};
    current_ = &dispatch;
    const BOOL setFocus = OnInitDialog();
    current_ = dispatch.outer;
    // A dialog with an owner opens centred on it.
    const HWND owner = GetWindow(hwnd, GW_OWNER);
    if (owner != nullptr) CenterOnOwner(hwnd, owner);
    return setFocus;
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const MessageMapEntry* entry = GetMessageMap()->Find(message, wParam);
    if (entry == nullptr) return FALSE;

    Dispatch dispatch{current_, false};
    current_ = &dispatch;
    const INT_PTR result = entry->invoke(*this, wParam, lParam);
    current_ = dispatch.outer;
    if (dispatch.wantsDefault) return FALSE;  // the dialog manager's default handling
    if (ReturnsResultDirectly(message)) return result;
    // The window may be gone already (a handler that destroyed it).
    if (IsWindow(GetSafeHwnd())) SetWindowLongPtrW(GetSafeHwnd(), DWLP_MSGRESULT, result);
    return TRUE;
}
