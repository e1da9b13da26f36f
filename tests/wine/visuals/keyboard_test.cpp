// The dialog used with the keyboard only, by real key presses on the X display,
// and read the way a screen reader reads it: Tab reaches every command in the
// template's order, the arrow keys change the printer (and the dialog hears of
// it), Space presses buttons, Enter closes message boxes, the focus goes where the
// next step is; the controls' names, and an event for each run's new status lines.
#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>

#include "resources/resource.h"
#include "tests/wine/support/RunChecks.h"
#include "tests/shared/ExpectedTexts.h"
#include "tests/wine/support/OpenFileDialog.h"
#include "tests/wine/support/Waiting.h"
#include "tests/wine/support/DialogFixture.h"
#include "tests/wine/support/Accessibility.h"

namespace reflasher::visuals {
namespace {

using e2e::Printable;

// EVENT_OBJECT_LIVEREGIONCHANGED, which older headers lack.
constexpr DWORD kLiveRegionChanged = 0x8019;

// The controls Tab stops at, in the template's order: tab stops that are shown and enabled.
std::vector<int> TabStops(HWND dialog) {
    std::vector<int> stops;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) {
            stops.push_back(GetDlgCtrlID(child));
        }
    }
    return stops;
}

std::string Ids(const std::vector<int>& ids) {
    std::string text;
    for (int id : ids) text += (text.empty() ? "" : " ") + std::to_string(id);
    return "{" + text + "}";
}

class Keyboard : public e2e::DialogFixture {
protected:
    // Presses Tab once per tab stop and a time more, noting where the focus goes; the
    // stops must come round in the template's order, each once.
    void ExpectTabGoesRoundInTemplateOrder(const std::vector<int>& expectedCommands) {
        const std::vector<int> stops = TabStops(dialog.Window());
        for (int command : expectedCommands) {
            EXPECT_NE(std::find(stops.begin(), stops.end(), command), stops.end())
                << command << " is not a tab stop: " << Ids(stops);
        }
        // The dialog must have the keyboard before the first Tab counts.
        ASSERT_TRUE(e2e::WaitUntil([&] { return FocusedControl() != 0; }, 10000))
            << "the dialog has no focus";
        std::vector<int> visited;
        for (std::size_t i = 0; i <= stops.size(); ++i) {
            const int before = FocusedControl();
            ASSERT_TRUE(PressKey("Tab"));
            int focus = before;
            e2e::WaitUntil([&] { return (focus = FocusedControl()) != before; }, 5000);
            visited.push_back(focus);
        }
        std::printf("tab stops %s, Tab visited %s\n", Ids(stops).c_str(), Ids(visited).c_str());
        const auto first = std::find(stops.begin(), stops.end(), visited.front());
        ASSERT_NE(first, stops.end())
            << "Tab went to " << visited.front() << ", not a tab stop " << Ids(stops);
        std::vector<int> expected;
        for (std::size_t i = 0; i <= stops.size(); ++i) {
            expected.push_back(
                stops[(static_cast<std::size_t>(first - stops.begin()) + i) % stops.size()]);
        }
        EXPECT_EQ(Ids(visited), Ids(expected));
    }
    // Down or Up on the list until line `line` is chosen.
    void ChooseLine(int line) {
        ASSERT_TRUE(TabTo(IDC_PRINTER_COMBO));
        for (int step = 0; step < 3 && dialog.ComboSelection() != line; ++step) {
            const int before = dialog.ComboSelection();
            ASSERT_TRUE(PressKey(before < line ? "Down" : "Up"));
            e2e::WaitUntil([&] { return dialog.ComboSelection() != before; }, 2000);
        }
        ASSERT_EQ(dialog.ComboSelection(), line);
    }
    // Tab until `id` has the focus.
    bool TabTo(int id) {
        for (int i = 0; i < 12; ++i) {
            if (FocusedControl() == id) return true;
            if (!PressKey("Tab")) return false;
            e2e::WaitUntil([&] { return FocusedControl() == id; }, 500);
        }
        if (FocusedControl() == id) return true;
        std::printf("Tab never reached %d: focus on %d, the dialog %s the foreground window\n", id,
                    FocusedControl(), GetForegroundWindow() == dialog.Window() ? "is" : "is not");
        return false;
    }
    // Without a window manager Wine sometimes leaves no window active once a window the
    // dialog owned (a message box, the file dialog) has gone; the dialog must still hand
    // the keyboard back to `id` as soon as it is active again.
    void ExpectKeyboardBackOn(int id) {
        if (e2e::WaitUntil([&] { return FocusedControl() == id; }, 5000)) return;
        std::printf(
            "focus after the owned window closed: %d, not %d; activating the dialog again\n",
            FocusedControl(), id);
        SetForegroundWindow(dialog.Window());
        EXPECT_TRUE(e2e::WaitUntil([&] { return FocusedControl() == id; }, 5000))
            << "the keyboard did not come back to " << id;
    }
    void ExpectName(int id, const std::wstring& name) {
        const std::optional<std::wstring> read = AccessibleName(dialog.Control(id));
        ASSERT_TRUE(read.has_value()) << "no accessible object for " << id;
        std::printf("accName of %d: \"%s\"\n", id, Printable(*read).c_str());
        EXPECT_EQ(Printable(*read), Printable(name)) << "control " << id;
    }
    // The message box with `text`, closed by Enter.
    void ExpectBoxClosedByEnter(const std::wstring& text, unsigned timeoutMs) {
        const std::optional<e2e::MessageBoxSeen> box = WaitForMessageBox(timeoutMs, &text);
        ASSERT_TRUE(box.has_value()) << "no message box \"" << Printable(text) << "\"";
        // Shown is not yet active: Enter goes to the box once it has the keyboard.
        EXPECT_TRUE(e2e::WaitUntil([&] { return GetForegroundWindow() == box->window; }, 5000))
            << "the box never became the active window";
        ASSERT_TRUE(PressKey("Return"));
        EXPECT_TRUE(e2e::WaitForWindowGone(box->window, e2e::kBoxCloseMs))
            << "Enter did not close it";
    }
};

TEST_F(Keyboard, EmbeddedModeWithTwoPrintersByKeysAlone) {
    e2e::EmbosserSetup first;
    first.printer = {L"Dovrex Embosser A", L"USB001", L"Quillmar Dovrex"};
    // Ready once, then silent: its run ends at "negotiating update".
    first.behaviour = L"lost-after-ready";
    e2e::EmbosserSetup second;
    second.printer = {L"Dovrex Embosser B", L"USB002", L"Quillmar Dovrex"};
    e2e::SimulatedEmbosser& lost = AddEmbosser(first, L"a");
    e2e::SimulatedEmbosser& sound = AddEmbosser(second, L"b");
    ASSERT_FALSE(HasFailure());
    // Hooked before the program starts: Wine tells a thread of the hooks there are
    // when it first asks, and a thread that is already running may not ask again.
    WinEventRecorder events(0, EVENT_OBJECT_NAMECHANGE, kLiveRegionChanged);
    ASSERT_TRUE(events.Hooked());
    StartProgram(env.embeddedProgram);
    ASSERT_TRUE(dialog.Visible());
    ComScope com;
    ASSERT_TRUE(com.Ok());
    ExpectKeyboardBackOn(IDC_PRINTER_COMBO);  // a printer is to be chosen first

    // What a screen reader hears for each control.
    ExpectName(IDC_START_DOWNLOAD, L"Start Download");
    ExpectName(IDC_EXIT, L"Exit");
    ExpectName(IDC_PRINTER_COMBO, L"Printer");
    ExpectName(IDC_PROGRESS, L"Progress");
    ExpectName(IDC_STATUS_LINE, dialog.ControlText(IDC_STATUS_LINE));
    // (GetComboBoxInfo doesn't reach into another process.)
    const HWND edit = FindWindowExW(dialog.Control(IDC_PRINTER_COMBO), nullptr, L"Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    const std::optional<std::wstring> editName = AccessibleName(edit);
    EXPECT_EQ(Printable(editName.value_or(L"<none>")), "Printer")
        << "the list's edit field, where the focus goes";

    ExpectTabGoesRoundInTemplateOrder({IDC_START_DOWNLOAD, IDC_EXIT, IDC_PRINTER_COMBO});

    // Space on Start Download with the prompt line chosen: no box, back on the list.
    const std::vector<std::wstring> lines = dialog.ComboLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(dialog.ComboSelection(), 0);
    ASSERT_TRUE(TabTo(IDC_START_DOWNLOAD));
    ASSERT_TRUE(PressKey("space"));
    ExpectKeyboardBackOn(IDC_PRINTER_COMBO);
    EXPECT_FALSE(WaitForMessageBox(500).has_value());
    const int lostLine = lines[1].rfind(lost.Printer().name, 0) == 0 ? 1 : 2;
    ChooseLine(3 - lostLine);
    ChooseLine(lostLine);

    // Space on Start Download starts the run on that printer; it ends at
    // "negotiating update", back on Start Download for a retry.
    StartRecording();
    ASSERT_TRUE(TabTo(IDC_START_DOWNLOAD));
    ASSERT_TRUE(PressKey("space"));
    EXPECT_TRUE(recorder->WaitForStatusLine(expected::kNegotiating, 10000))
        << "Space did not start the run";
    // The status line's name is its text, now as it changes.
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
            return AccessibleName(dialog.Control(IDC_STATUS_LINE)) ==
                       dialog.ControlText(IDC_STATUS_LINE) &&
                   !dialog.ControlText(IDC_STATUS_LINE).empty();
        },
        5000));
    ExpectBoxClosedByEnter(expected::kRecheckError, e2e::kWholeRunMs);
    ExpectKeyboardBackOn(IDC_START_DOWNLOAD);
    recorder->Stop();
    std::vector<std::wstring> shown = recorder->StatusLines();

    // The retry, on the other printer, begins with the same line.
    ChooseLine(3 - lostLine);
    StartRecording();
    ASSERT_TRUE(TabTo(IDC_START_DOWNLOAD));
    ASSERT_TRUE(PressKey("space"));
    EXPECT_TRUE(recorder->WaitForBarChange(0, 10000)) << "Space did not start the retry";

    // Exit by Space during the run: refused with a box, which Enter closes.
    ASSERT_TRUE(TabTo(IDC_EXIT));
    ASSERT_TRUE(PressKey("space"));
    ExpectBoxClosedByEnter(expected::kBusy, e2e::kBoxCloseMs);
    ExpectBoxClosedByEnter(expected::kSuccess, e2e::kWholeRunMs);
    ExpectKeyboardBackOn(IDC_START_DOWNLOAD);
    EXPECT_TRUE(recorder->WaitForBarPosition(0, e2e::kBoxCloseMs));
    recorder->Stop();
    EXPECT_EQ(lost.JobCount(), 1) << "only its service-mode job";
    EXPECT_TRUE(sound.FirmwareReceived().has_value());

    // One name-change event per new status line of each run, the retry's first one
    // too, and as many live-region events.
    std::vector<std::wstring> announced;
    for (const WinEventSeen& seen :
         events.Events(EVENT_OBJECT_NAMECHANGE, dialog.Control(IDC_STATUS_LINE))) {
        EXPECT_EQ(seen.object, OBJID_CLIENT);
        EXPECT_EQ(seen.child, CHILDID_SELF);
        announced.push_back(seen.textThen);
    }
    for (const std::wstring& line : recorder->StatusLines()) shown.push_back(line);
    shown.erase(std::remove(shown.begin(), shown.end(), L""), shown.end());
    std::printf("status lines announced: %s\n", e2e::Printable(announced).c_str());
    EXPECT_EQ(e2e::Printable(announced), e2e::Printable(shown));
    EXPECT_EQ(events.Events(kLiveRegionChanged, dialog.Control(IDC_STATUS_LINE)).size(),
              announced.size());

    // After the run Exit, by Space, ends the program.
    ASSERT_TRUE(TabTo(IDC_EXIT));
    ASSERT_TRUE(PressKey("space"));
    EXPECT_TRUE(program.WaitForExit(e2e::kBoxCloseMs)) << "Space on Exit did not end the program";
}

TEST_F(Keyboard, FileModeBrowseBySpaceAndTheFileDialogByKeys) {
    AddEmbosser({}, L"a");
    ASSERT_FALSE(HasFailure());
    StartProgram(env.fileModeProgram);
    ASSERT_TRUE(dialog.Visible());
    ComScope com;
    ExpectKeyboardBackOn(IDC_BROWSE);  // a file is to be chosen first
    ExpectName(IDC_BROWSE, L"Browse ...");
    ExpectName(IDC_FILE_PATH, dialog.ControlText(IDC_FILE_PATH));
    ExpectTabGoesRoundInTemplateOrder(
        {IDC_BROWSE, IDC_START_DOWNLOAD, IDC_EXIT, IDC_PRINTER_COMBO});

    // Start Download before a file is chosen: the box, closed by Enter.
    ASSERT_TRUE(TabTo(IDC_START_DOWNLOAD));
    ASSERT_TRUE(PressKey("space"));
    ExpectBoxClosedByEnter(expected::kNoFileChosen, e2e::kBoxCloseMs);
    ExpectKeyboardBackOn(IDC_BROWSE);

    // Browse by Space opens the file dialog; Escape closes it, and the dialog goes on.
    ASSERT_TRUE(TabTo(IDC_BROWSE));
    ASSERT_TRUE(PressKey("space"));
    const e2e::OpenDialogSeen chooser = e2e::WaitForOpenDialog(program.ProcessId(), 20000);
    ASSERT_NE(chooser.window, nullptr) << "Space on Browse opened no file dialog";
    ASSERT_TRUE(PressKey("Escape"));
    EXPECT_TRUE(e2e::WaitForWindowGone(chooser.window, e2e::kBoxCloseMs))
        << "Escape did not close the file dialog";
    ExpectKeyboardBackOn(IDC_BROWSE);

    // Minimised, the dialog still paints and answers; restored, it goes on as before.
    // (Its drag icon is checked in the dialog's own process: Wine 8 answers
    // WM_QUERYDRAGICON and WM_GETICON from another process with 0.)
    ShowWindowAsync(dialog.Window(), SW_MINIMIZE);
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsIconic(dialog.Window()) != FALSE; }, 5000));
    RedrawWindow(dialog.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    bool answered = false;
    e2e::SendWithTimeout(dialog.Window(), WM_NULL, 0, 0, &answered);
    EXPECT_TRUE(answered) << "no answer while minimised";
    ShowWindowAsync(dialog.Window(), SW_RESTORE);
    EXPECT_TRUE(
        e2e::WaitUntil([&] { return !IsIconic(dialog.Window()) && dialog.Visible(); }, 5000));
    ExpectExitEndsProgram();
}

}  // namespace
}  // namespace reflasher::visuals
