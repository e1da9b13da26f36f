#include "ui/win32/ControlAccessibility.h"

#include <commctrl.h>
#include <oleacc.h>

#include <string>

#include "texts/ProgramTexts.h"
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
LRESULT AnswerWithWords(HWND control, WPARAM wParam, const AccessibleWords& words) {
    const OleaccFunctions& oleacc = Oleacc();
    if (oleacc.createStdAccessibleObject == nullptr || oleacc.lresultFromObject == nullptr)
        return 0;
    IAccessible* standard = nullptr;
    // This makes the standard object directly; it doesn't ask the window again.
    if (FAILED(oleacc.createStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible),
                                                reinterpret_cast<void**>(&standard)))) {
        return 0;  // the caller falls back to the standard object
    }
    auto* named = new NamedAccessible(control, standard, words.name, words.description);
    standard->Release();
    // LresultFromObject takes its own reference for the caller.
    const LRESULT result =
        oleacc.lresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(named));
    named->Release();
    return result;
}

LRESULT CALLBACK NameSubclass(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR words) {
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        const LRESULT answer =
            AnswerWithWords(control, wParam, *reinterpret_cast<const AccessibleWords*>(words));
        // Anything but a positive answer: the standard object is better than none.
        if (answer > 0) return answer;
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, &NameSubclass, kNameSubclass);
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

LRESULT CALLBACK AnnounceSubclass(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR, DWORD_PTR announced) {
    if (message == WM_SETTEXT) {
        const LRESULT result = DefSubclassProc(control, message, wParam, lParam);
        const auto* text = reinterpret_cast<const wchar_t*>(lParam);
        auto& said = *reinterpret_cast<std::wstring*>(announced);
        // Only news is announced (the run sets "writing flash" again on every poll),
        // judged against what this run has announced, not against the text on show:
        // a new run's first line may be the line the last run stopped at.
        if (result && text != nullptr && *text != L'\0' && said != text) {
            said = text;
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

bool GiveAccessibleWords(HWND control, const AccessibleWords& words) {
    return control != nullptr && SetWindowSubclass(control, &NameSubclass, kNameSubclass,
                                                   reinterpret_cast<DWORD_PTR>(&words));
}

bool AnnounceTextChanges(HWND control, std::wstring* announced) {
    return control != nullptr && SetWindowSubclass(control, &AnnounceSubclass, kAnnounceSubclass,
                                                   reinterpret_cast<DWORD_PTR>(announced));
}

namespace {

constexpr AccessibleWords kPrinterWords{reflasher::texts::kPrinterListName, nullptr};
constexpr AccessibleWords kProgressWords{reflasher::texts::kProgressBarName, nullptr};
// Its name is its text; before the first run that is empty, and the reader still
// says what the stop is.
constexpr AccessibleWords kStatusWords{nullptr, reflasher::texts::kStatusLineDescription};

}  // namespace

void DialogAccessibility::Attach(HWND printerList, HWND progressBar, HWND statusLine) {
    Detach();
    // S_FALSE (already initialised on this thread) also needs its CoUninitialize.
    comInitialised_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    annotations_ = std::make_unique<AccessibleAnnotations>();
    namesAnnotated_ = true;
    Annotate(printerList, kPrinterWords);
    COMBOBOXINFO parts{};
    parts.cbSize = sizeof parts;
    if (GetComboBoxInfo(printerList, &parts) && parts.hwndItem != nullptr &&
        parts.hwndItem != printerList) {
        Annotate(parts.hwndItem, kPrinterWords);
    }
    Annotate(progressBar, kProgressWords);
    Annotate(statusLine, kStatusWords);
    // Polite: Narrator speaks each new status line once it has finished what it
    // is saying, without moving there.
    liveSettingAnnotated_ = annotations_->SetLiveSetting(statusLine, LiveSetting::Polite);
    announced_.clear();
    if (AnnounceTextChanges(statusLine, &announced_)) statusLine_ = statusLine;
}

bool DialogAccessibility::Annotate(HWND control, const AccessibleWords& words) {
    if ((words.name == nullptr || annotations_->SetName(control, words.name)) &&
        (words.description == nullptr ||
         annotations_->SetDescription(control, words.description))) {
        return true;
    }
    namesAnnotated_ = false;
    return GiveAccessibleWords(control, words);
}

void DialogAccessibility::Detach() {
    // The subclass reads announced_, which goes with this object.
    if (statusLine_ != nullptr) {
        RemoveWindowSubclass(statusLine_, &AnnounceSubclass, kAnnounceSubclass);
    }
    statusLine_ = nullptr;
    annotations_.reset();  // clears the annotations, before COM goes
    namesAnnotated_ = liveSettingAnnotated_ = false;
    if (comInitialised_) CoUninitialize();
    comInitialised_ = false;
}
