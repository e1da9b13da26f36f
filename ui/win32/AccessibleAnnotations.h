// Properties of a control's accessible object set by dynamic annotation
// (IAccPropServices): the standard objects and the UI Automation proxies of
// Windows both read them, so a name given here reaches MSAA and UIA clients
// alike. Every annotation made is cleared again by Clear (or the destructor).
#pragma once

#include <windows.h>
// (windows.h first: oleacc.h builds on it)
#include <oleacc.h>

#include <vector>

// UI Automation's LiveSetting values.
enum class LiveSetting : LONG { Off = 0, Polite = 1, Assertive = 2 };

class AccessibleAnnotations {
public:
    // Needs a COM apartment on this thread; without oleacc.dll or its annotation
    // service every call below answers false.
    AccessibleAnnotations();
    ~AccessibleAnnotations();
    AccessibleAnnotations(const AccessibleAnnotations&) = delete;
    AccessibleAnnotations& operator=(const AccessibleAnnotations&) = delete;

    bool Available() const { return services_ != nullptr; }
    // PROPID_ACC_NAME of `control`'s client object.
    bool SetName(HWND control, const wchar_t* name);
    // PROPID_ACC_DESCRIPTION of it: what a screen reader says after its name and role.
    bool SetDescription(HWND control, const wchar_t* description);
    // UIA LiveSetting of `control`'s client object: how a screen reader speaks a
    // live-region change of it.
    bool SetLiveSetting(HWND control, LiveSetting setting);
    // Takes every annotation made here off its control again.
    void Clear();

private:
    bool SetText(HWND control, const GUID& property, const wchar_t* text);

    struct Made {
        HWND control;
        GUID property;
    };
    IAccPropServices* services_ = nullptr;
    std::vector<Made> made_;
};
