// What the main dialog does for screen readers beyond what the controls give by
// themselves: names for the controls that have no label, a description for the
// status line, and an announcement of each new status line of a run. The names,
// the description and the status line's LiveSetting are dynamic annotations, which
// MSAA and UI Automation clients both read; where the annotation service refuses
// them (Wine's does), the names and the description come from a subclass that
// answers WM_GETOBJECT. The subclasses end by themselves when the control is
// destroyed.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "ui/win32/AccessibleAnnotations.h"

// What our object says of a control in place of the standard one: its name, its
// description (string literals; null: the standard object's).
struct AccessibleWords {
    const wchar_t* name;
    const wchar_t* description;
};

// Answers WM_GETOBJECT for `control`'s client object with the standard object under
// `words`, which must outlive the control. False when it can't be subclassed.
bool GiveAccessibleWords(HWND control, const AccessibleWords& words);

// Raises EVENT_OBJECT_NAMECHANGE, and the live-region event of newer Windows, each
// time `control` is given a text other than `*announced`, which it then becomes, so
// a screen reader can speak the new text without the user moving to it. Empty texts
// are not announced.
bool AnnounceTextChanges(HWND control, std::wstring* announced);

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
    // A run is starting: each of its status lines is news, the first one too, even
    // when the last run stopped at the same line.
    void RunStarting() { announced_.clear(); }

    // Whether the names (and the status line's description) and its LiveSetting went
    // in as annotations.
    bool NamesAnnotated() const { return namesAnnotated_; }
    bool LiveSettingAnnotated() const { return liveSettingAnnotated_; }

private:
    // The words by annotation, else by our WM_GETOBJECT answer; false when by neither.
    bool Annotate(HWND control, const AccessibleWords& words);

    bool comInitialised_ = false;
    std::unique_ptr<AccessibleAnnotations> annotations_;
    bool namesAnnotated_ = false;
    bool liveSettingAnnotated_ = false;
    HWND statusLine_ = nullptr;
    // The status line last announced in this run.
    std::wstring announced_;
};
