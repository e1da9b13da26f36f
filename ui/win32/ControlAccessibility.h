// What the main dialog does for screen readers beyond what the controls give by
// themselves: names for the controls that have no label, and an announcement
// each time the status line changes. The names and the status line's LiveSetting
// are dynamic annotations, which MSAA and UI Automation clients both read; where
// the annotation service refuses them (Wine's does), the names come from a
// subclass that answers WM_GETOBJECT. The subclasses end by themselves when the
// control is destroyed.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/win32/AccessibleAnnotations.h"

// Answers WM_GETOBJECT for `control`'s client object with the standard object under
// `name` (a string literal). False when the control can't be subclassed.
bool GiveAccessibleName(HWND control, const wchar_t* name);

// Raises EVENT_OBJECT_NAMECHANGE, and the live-region event of newer Windows, each
// time `control`'s text changes, so a screen reader can speak the new text without
// the user moving to it.
bool AnnounceTextChanges(HWND control);

// The live-region event (EVENT_OBJECT_LIVEREGIONCHANGED); older headers lack it, and
// older Windows ignores it.
constexpr DWORD kLiveRegionChangedEvent = 0x8019;

// The main dialog's accessibility set-up: the names of the printer list (and the
// edit field inside it, where the focus goes) and the progress bar, and the status
// line's announcements. It also keeps the dialog's thread in a COM apartment while
// the dialog lives, which handing our objects to a screen reader needs.
class DialogAccessibility {
public:
    DialogAccessibility() = default;
    ~DialogAccessibility() { Detach(); }
    DialogAccessibility(const DialogAccessibility&) = delete;
    DialogAccessibility& operator=(const DialogAccessibility&) = delete;

    // From OnInitDialog, on the dialog's thread.
    void Attach(HWND printerList, HWND progressBar, HWND statusLine);
    // From WM_DESTROY, on the same thread.
    void Detach();

    // Whether the names and the status line's LiveSetting went in as annotations.
    bool NamesAnnotated() const { return namesAnnotated_; }
    bool LiveSettingAnnotated() const { return liveSettingAnnotated_; }

private:
    // The name by annotation, else by our WM_GETOBJECT answer; false when by neither.
    bool Name(HWND control, const wchar_t* name);

    bool comInitialised_ = false;
    std::unique_ptr<AccessibleAnnotations> annotations_;
    bool namesAnnotated_ = false;
    bool liveSettingAnnotated_ = false;
};
