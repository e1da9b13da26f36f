#include "ui/win32/AccessibleAnnotations.h"

#include "win32/SystemLibrary.h"

namespace {

// The ids are written out here: the headers only declare them, and the import
// library that defines them is oleacc's, which the program must not link.
constexpr GUID kAccPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kAccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kNameProperty = {
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr GUID kDescriptionProperty = {
    0x4d48dfe4, 0xbd3f, 0x491f, {0xa6, 0x48, 0x49, 0x2d, 0x6f, 0x20, 0xc5, 0x88}};
// LiveSetting_Property_GUID of uiautomation.h.
constexpr GUID kLiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};

IAccPropServices* CreateAnnotationService() {
    // The service lives in oleacc.dll: loaded from the system folder first, so the
    // class's registration can only name the copy that is already in the process.
    static const reflasher::SystemLibrary oleacc(L"oleacc.dll");
    if (!oleacc.Loaded()) return nullptr;
    void* services = nullptr;
    if (FAILED(CoCreateInstance(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                                kAccPropServicesInterface, &services))) {
        return nullptr;
    }
    return static_cast<IAccPropServices*>(services);
}

}  // namespace

AccessibleAnnotations::AccessibleAnnotations() : services_(CreateAnnotationService()) {}

AccessibleAnnotations::~AccessibleAnnotations() {
    Clear();
    if (services_ != nullptr) services_->Release();
}

bool AccessibleAnnotations::SetName(HWND control, const wchar_t* name) {
    return SetText(control, kNameProperty, name);
}

bool AccessibleAnnotations::SetDescription(HWND control, const wchar_t* description) {
    return SetText(control, kDescriptionProperty, description);
}

bool AccessibleAnnotations::SetText(HWND control, const GUID& property, const wchar_t* text) {
    if (services_ == nullptr || control == nullptr) return false;
    if (FAILED(services_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                         property, text))) {
        return false;
    }
    made_.push_back({control, property});
    return true;
}

bool AccessibleAnnotations::SetLiveSetting(HWND control, LiveSetting setting) {
    if (services_ == nullptr || control == nullptr) return false;
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = static_cast<LONG>(setting);
    if (FAILED(services_->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                      kLiveSettingProperty, value))) {
        return false;
    }
    made_.push_back({control, kLiveSettingProperty});
    return true;
}

void AccessibleAnnotations::Clear() {
    if (services_ == nullptr) return;
    // Taken off while the controls still exist, so that nothing of them stays
    // behind in oleacc for a later window with the same handle.
    for (const Made& made : made_) {
        services_->ClearHwndProps(made.control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                  &made.property, 1);
    }
    made_.clear();
}
