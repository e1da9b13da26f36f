#include "ui/win32/NamedAccessible.h"

namespace {

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

HRESULT Answer(const wchar_t* text, BSTR* answer) {
    if (answer == nullptr) return E_POINTER;
    *answer = SysAllocString(text);
    return *answer != nullptr ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

NamedAccessible::NamedAccessible(HWND control, IAccessible* standard, const wchar_t* name,
                                 const wchar_t* description)
    : control_(control), standard_(standard), name_(name), description_(description) {
    standard_->AddRef();
}

NamedAccessible::~NamedAccessible() { standard_->Release(); }

HRESULT NamedAccessible::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, __uuidof(IAccessible))) {
        *object = static_cast<IAccessible*>(this);
    } else if (IsEqualIID(iid, IID_IOleWindow)) {
        *object = static_cast<IOleWindow*>(this);
    } else {
        // Not the standard object's other interfaces: they would answer with its name.
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG NamedAccessible::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG NamedAccessible::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT NamedAccessible::get_accName(VARIANT child, BSTR* name) {
    if (name_ == nullptr || !IsSelf(child)) return standard_->get_accName(child, name);
    return Answer(name_, name);
}

HRESULT NamedAccessible::get_accDescription(VARIANT child, BSTR* description) {
    if (description_ == nullptr || !IsSelf(child)) {
        return standard_->get_accDescription(child, description);
    }
    return Answer(description_, description);
}

HRESULT NamedAccessible::GetWindow(HWND* window) {
    if (window == nullptr) return E_POINTER;
    *window = control_;
    return S_OK;
}

HRESULT NamedAccessible::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

// Everything else is the standard object's answer.

HRESULT NamedAccessible::GetTypeInfoCount(UINT* count) {
    return standard_->GetTypeInfoCount(count);
}
HRESULT NamedAccessible::GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) {
    return standard_->GetTypeInfo(index, locale, info);
}
HRESULT NamedAccessible::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                       DISPID* ids) {
    return standard_->GetIDsOfNames(iid, names, count, locale, ids);
}
HRESULT NamedAccessible::Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                UINT* argumentError) {
    return standard_->Invoke(id, iid, locale, flags, parameters, result, exception, argumentError);
}
HRESULT NamedAccessible::get_accParent(IDispatch** parent) {
    return standard_->get_accParent(parent);
}
HRESULT NamedAccessible::get_accChildCount(long* count) {
    return standard_->get_accChildCount(count);
}
HRESULT NamedAccessible::get_accChild(VARIANT child, IDispatch** object) {
    return standard_->get_accChild(child, object);
}
HRESULT NamedAccessible::get_accValue(VARIANT child, BSTR* value) {
    return standard_->get_accValue(child, value);
}
HRESULT NamedAccessible::get_accRole(VARIANT child, VARIANT* role) {
    return standard_->get_accRole(child, role);
}
HRESULT NamedAccessible::get_accState(VARIANT child, VARIANT* state) {
    return standard_->get_accState(child, state);
}
HRESULT NamedAccessible::get_accHelp(VARIANT child, BSTR* help) {
    return standard_->get_accHelp(child, help);
}
HRESULT NamedAccessible::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
    return standard_->get_accHelpTopic(file, child, topic);
}
HRESULT NamedAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    return standard_->get_accKeyboardShortcut(child, shortcut);
}
HRESULT NamedAccessible::get_accFocus(VARIANT* focused) { return standard_->get_accFocus(focused); }
HRESULT NamedAccessible::get_accSelection(VARIANT* selected) {
    return standard_->get_accSelection(selected);
}
HRESULT NamedAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    return standard_->get_accDefaultAction(child, action);
}
HRESULT NamedAccessible::accSelect(long flags, VARIANT child) {
    return standard_->accSelect(flags, child);
}
HRESULT NamedAccessible::accLocation(long* left, long* top, long* width, long* height,
                                     VARIANT child) {
    return standard_->accLocation(left, top, width, height, child);
}
HRESULT NamedAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
    return standard_->accNavigate(direction, start, end);
}
HRESULT NamedAccessible::accHitTest(long left, long top, VARIANT* child) {
    return standard_->accHitTest(left, top, child);
}
HRESULT NamedAccessible::accDoDefaultAction(VARIANT child) {
    return standard_->accDoDefaultAction(child);
}
HRESULT NamedAccessible::put_accName(VARIANT child, BSTR name) {
    return standard_->put_accName(child, name);
}
HRESULT NamedAccessible::put_accValue(VARIANT child, BSTR value) {
    return standard_->put_accValue(child, value);
}
