#include "ui/win32/ControlAccessibility.h"

#include <commctrl.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "win32/SystemLibrary.h"
#include "ui/win32/NamedAccessible.h"

namespace {

// IAccessible's id is taken from the header (__uuidof), never as IID_IAccessible:
// the x86_64 oleacc import library defines that name as an import thunk, which
// links ahead of libuuid's GUID and turns every request into E_NOINTERFACE.

constexpr UINT_PTR kNameSubclass = 1;
constexpr UINT_PTR kAnnounceSubclass = 2;

// oleacc.dll, from the system folder when a screen reader first asks; without it
// the controls keep the standard objects Windows gives them.
struct OleaccFunctions {
    decltype(&::CreateStdAccessibleObject) createStdAccessibleObject;
    decltype(&::LresultFromObject) lresultFromObject;
};

const OleaccFunctions& Oleacc() {
    static const reflasher::SystemLibrary oleacc(L"oleacc.dll");
    static const OleaccFunctions functions{
        REFLASHER_SYSTEM_FUNCTION(oleacc, CreateStdAccessibleObject),
        REFLASHER_SYSTEM_FUNCTION(oleacc, LresultFromObject)};
    return functions;
}

// The WM_GETOBJECT answer for our named object: positive, or 0 or a negative error
// code when it can't be made.
LRESULT AnswerWithName(HWND control, WPARAM wParam, const wchar_t* name) {
    const OleaccFunctions& oleacc = Oleacc();
    if (oleacc.createStdAccessibleObject == nullptr || oleacc.lresultFromObject == nullptr)
        return 0;
    IAccessible* standard = nullptr;
    // This makes the standard object directly; it doesn't ask the window again.
    if (FAILED(oleacc.createStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible),
                                                reinterpret_cast<void**>(&standard)))) {
        return 0;  // the caller falls back to the standard object
    }
    auto* named = new NamedAccessible(control, standard, name);
    standard->Release();
    // LresultFromObject takes its own reference for the caller.
    const LRESULT result =
        oleacc.lresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(named));
    named->Release();
    return result;
}

LRESULT CALLBACK NameSubclass(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR name) {
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        const LRESULT answer =
            AnswerWithName(control, wParam, reinterpret_cast<const wchar_t*>(name));
        // Anything but a positive answer: the standard object is better than none.
        if (answer > 0) return answer;
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, &NameSubclass, kNameSubclass);
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

std::wstring TextOf(HWND control) {
    const LRESULT length = DefSubclassProc(control, WM_GETTEXTLENGTH, 0, 0);
    std::vector<wchar_t> text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    DefSubclassProc(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return std::wstring(text.data());
}

LRESULT CALLBACK AnnounceSubclass(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR, DWORD_PTR) {
    if (message == WM_SETTEXT) {
        const std::wstring before = TextOf(control);
        const LRESULT result = DefSubclassProc(control, message, wParam, lParam);
        const auto* after = reinterpret_cast<const wchar_t*>(lParam);
        // Only a change is news: the run sets "writing flash" again on every poll.
        if (result && before != (after != nullptr ? after : L"")) {
            NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
            NotifyWinEvent(kLiveRegionChangedEvent, control, OBJID_CLIENT, CHILDID_SELF);
        }
        return result;
    }
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(control, &AnnounceSubclass, kAnnounceSubclass);
    return DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace

bool GiveAccessibleName(HWND control, const wchar_t* name) {
    return control != nullptr && SetWindowSubclass(control, &NameSubclass, kNameSubclass,
                                                   reinterpret_cast<DWORD_PTR>(name));
}

bool AnnounceTextChanges(HWND control) {
    return control != nullptr &&
           SetWindowSubclass(control, &AnnounceSubclass, kAnnounceSubclass, 0);
}

void DialogAccessibility::Attach(HWND printerList, HWND progressBar, HWND statusLine) {
    Detach();
    // S_FALSE (already initialised on this thread) also needs its CoUninitialize.
    comInitialised_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    annotations_ = std::make_unique<AccessibleAnnotations>();
    namesAnnotated_ = true;
    Name(printerList, L"Printer");
    COMBOBOXINFO parts{};
    parts.cbSize = sizeof parts;
    if (GetComboBoxInfo(printerList, &parts) && parts.hwndItem != nullptr &&
        parts.hwndItem != printerList) {
        Name(parts.hwndItem, L"Printer");
    }
    Name(progressBar, L"Progress");
    // Polite: Narrator speaks each new status line once it has finished what it
    // is saying, without moving there.
    liveSettingAnnotated_ = annotations_->SetLiveSetting(statusLine, LiveSetting::Polite);
    AnnounceTextChanges(statusLine);
}

bool DialogAccessibility::Name(HWND control, const wchar_t* name) {
    if (annotations_->SetName(control, name)) return true;
    namesAnnotated_ = false;
    return GiveAccessibleName(control, name);
}

void DialogAccessibility::Detach() {
    annotations_.reset();  // clears the annotations, before COM goes
    namesAnnotated_ = liveSettingAnnotated_ = false;
    if (comInitialised_) CoUninitialize();
    comInitialised_ = false;
}
