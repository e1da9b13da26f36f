// The main dialog under Wine, driven as a user would: both modes, the printer
// list and choice, a whole update run through the dialog, the refusals while a
// run is under way, the ways out, the About box, Browse, the taskbar button and
// the names a screen reader reads.
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "framework/WinApp.h"
#include "ui/DownloadInProgress.h"
#include "ui/win32/ReflasherDlg.h"
#include "tests/shared/ExpectedTexts.h"
#include "tests/wine/support/DialogFixture.h"
#include "tests/wine/support/DialogRig.h"

using namespace dialog_script;
using reflasher::e2e::RemoteDialog;

namespace {

using reflasher::expected::kBusy;
using reflasher::expected::kSuccess;
constexpr const wchar_t* kCaption = reflasher::expected::kMainCaption;

bool WaitUntilIdle(DWORD timeoutMs = 10000) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
        if (!downloadInProgress) return true;
        Sleep(20);
    }
    return false;
}

BOOL CALLBACK MatchVisibleEdit(HWND child, LPARAM context) {
    wchar_t name[16] = {};
    GetClassNameW(child, name, 16);
    if (lstrcmpiW(name, L"Edit") != 0 || !IsWindowVisible(child)) return TRUE;
    *reinterpret_cast<HWND*>(context) = child;
    return FALSE;
}

HWND FirstVisibleEdit(HWND window) {
    HWND found = nullptr;
    EnumChildWindows(window, &MatchVisibleEdit, reinterpret_cast<LPARAM>(&found));
    return found;
}

class MainDialogTest : public reflasher::e2e::DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        downloadInProgress = true;  // OnInitDialog must clear it
    }
    // Chooses line `index` as the user does, on the dialog thread; gives what the dialog made of it.
    std::pair<bool, std::wstring> Choose(CReflasherDlg& dialog, HWND hwnd, int index) {
        std::pair<bool, std::wstring> result;
        dialogThread_.Run([&] {
            const HWND combo = GetDlgItem(hwnd, IDC_PRINTER_COMBO);
            SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
            SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_PRINTER_COMBO, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(combo));
            result = {dialog.printerChosen, dialog.selectedPrinter};
        });
        return result;
    }
    bool ErrorBoxShown() {
        dialogThread_.Sync();
        return FindWindowByCaption(L"Error") != nullptr;
    }
    int FocusedControl() {
        dialogThread_.Sync();  // what was posted to the dialog first
        int id = 0;
        dialogThread_.Run([&] { id = GetDlgCtrlID(GetFocus()); });
        return id;
    }

    rig::DialogRig rig_;
};

TEST_F(MainDialogTest, EmbeddedModeShowsTheNoticeInPlaceOfTheFileControls) {
    rig_.AddEmbosser(L"Dovrex Embosser");
    rig_.EmbedImage();
    CReflasherDlg dialog(rig_.Services());
    std::map<int, std::pair<bool, bool>> state;  // id -> visible, enabled
    std::wstring notice, status;
    std::vector<std::wstring> lines;
    LRESULT selected = -2;
    int focus = 0;
    const INT_PTR result = Run(dialog, [&](HWND d) {
        focus = FocusedControl();
        for (int id : {IDC_BROWSE, IDC_FILE_PATH, IDC_OPEN_FILE_GROUP, IDC_FIRMWARE_NOTICE}) {
            const HWND control = GetDlgItem(d, id);
            state[id] = {IsWindowVisible(control) != FALSE, IsWindowEnabled(control) != FALSE};
        }
        notice = WindowText(GetDlgItem(d, IDC_FIRMWARE_NOTICE));
        status = WindowText(GetDlgItem(d, IDC_STATUS_LINE));
        lines = RemoteDialog(d).ComboLines();
        selected = SendMessageW(GetDlgItem(d, IDC_PRINTER_COMBO), CB_GETCURSEL, 0, 0);
        RemoteDialog(d).PostCommand(IDC_EXIT);
        WaitForWindowGone(d);
    });
    EXPECT_EQ(result, CDialog::kNoResult);
    for (int id : {IDC_BROWSE, IDC_FILE_PATH, IDC_OPEN_FILE_GROUP}) {
        EXPECT_EQ(state[id], std::make_pair(false, false)) << "control " << id;
    }
    EXPECT_EQ(state[IDC_FIRMWARE_NOTICE], std::make_pair(true, true));
    // The test program carries the program's version resource, file version 8.0.0.81.
    EXPECT_EQ(notice, reflasher::expected::kEmbeddedNotice);
    EXPECT_EQ(status, L"");  // the template's "Static" gave way to the empty statusText
    EXPECT_EQ(lines, std::vector<std::wstring>{L"Dovrex Embosser on USB001"});
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(focus, IDC_START_DOWNLOAD);  // nothing to choose: the next step is Start
    EXPECT_TRUE(dialog.fileChosen);
    EXPECT_TRUE(dialog.printerChosen);
    EXPECT_EQ(dialog.selectedPrinter, L"Dovrex Embosser");
    EXPECT_FALSE(downloadInProgress);
}

TEST_F(MainDialogTest, FileModeKeepsTheFileControlsAndAsksForAFileFirst) {
    rig_.AddEmbosser(L"Dovrex");
    CReflasherDlg dialog(rig_.Services());
    bool browseShown = false, noticeShown = true;
    std::wstring message;
    Run(dialog, [&](HWND d) {
        browseShown = IsWindowVisible(GetDlgItem(d, IDC_BROWSE)) && IsWindowEnabled(GetDlgItem(d, IDC_BROWSE));
        noticeShown = IsWindowVisible(GetDlgItem(d, IDC_FIRMWARE_NOTICE)) != FALSE;
        RemoteDialog(d).PostCommand(IDC_START_DOWNLOAD);
        message = TakeMessageBox(L"Error");
    });
    EXPECT_TRUE(browseShown);
    EXPECT_FALSE(noticeShown);
    EXPECT_EQ(message, reflasher::expected::kNoFileChosen);
    EXPECT_FALSE(dialog.fileChosen);
    EXPECT_TRUE(rig_.spooler.Jobs().empty());
}

TEST_F(MainDialogTest, WithoutPrintersTheWarningComesBeforeTheDialogAndStartDoesNothing) {
    rig_.EmbedImage();
    CReflasherDlg dialog(rig_.Services());
    bool dialogShownWithBox = true, boxAfterStart = true;
    std::wstring message;
    std::vector<std::wstring> lines;
    RunAlongside([&] { return dialog.DoModal(); }, [&] {
        const HWND box = WaitForWindow(L"Error");
        dialogShownWithBox = FindWindowByCaption(kCaption) != nullptr;
        message = ReadMessageBox(box).text;
        AnswerMessageBox(box);
        const HWND d = WaitForWindow(kCaption);
        lines = RemoteDialog(d).ComboLines();
        RemoteDialog(d).PostCommand(IDC_START_DOWNLOAD);
        boxAfterStart = ErrorBoxShown();
        RemoteDialog(d).PostCommand(IDC_EXIT);
        WaitForWindowGone(d);
    });
    EXPECT_FALSE(dialogShownWithBox);
    EXPECT_EQ(message,
              reflasher::expected::kNotDetected);
    EXPECT_EQ(lines, std::vector<std::wstring>{reflasher::expected::kNoPrinters});
    EXPECT_FALSE(boxAfterStart);
    EXPECT_FALSE(dialog.printerChosen);
    EXPECT_TRUE(rig_.spooler.Jobs().empty());
}

TEST_F(MainDialogTest, ListLinesChooseTheirPrintersAndThePromptChoosesNone) {
    rig_.AddEmbosser(L"Left", L"USB001");
    rig_.AddEmbosser(L"Right", L"USB002");
    rig_.EmbedImage();
    CReflasherDlg dialog(rig_.Services());
    std::vector<std::wstring> lines;
    struct Step {
        int line;
        bool chosen;
        std::wstring selected;
    };
    // Choosing the prompt leaves the last name in place, but no printer chosen.
    const Step steps[] = {{1, true, L"Left"}, {2, true, L"Right"}, {0, false, L"Right"}, {1, true, L"Left"}, {0, false, L"Left"}};
    std::vector<std::pair<bool, std::wstring>> seen;
    bool boxAfterStart = true;
    Run(dialog, [&](HWND d) {
        lines = RemoteDialog(d).ComboLines();
        for (const Step& step : steps) seen.push_back(Choose(dialog, d, step.line));
        RemoteDialog(d).PostCommand(IDC_START_DOWNLOAD);  // the prompt is chosen: nothing happens
        boxAfterStart = ErrorBoxShown();
    });
    EXPECT_EQ(lines, (std::vector<std::wstring>{reflasher::expected::kChoosePrinter, L"Left on USB001", L"Right on USB002"}));
    ASSERT_EQ(seen.size(), std::size(steps));
    for (std::size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i], std::make_pair(steps[i].chosen, steps[i].selected)) << "step " << i;
    }
    EXPECT_FALSE(boxAfterStart);
    EXPECT_TRUE(rig_.spooler.Jobs().empty());
}

TEST_F(MainDialogTest, TheOnlyPrinterStaysChosenWhenItsLineIsChosenAgain) {
    rig_.AddEmbosser(L"Dovrex");
    CReflasherDlg dialog(rig_.Services());
    std::pair<bool, std::wstring> seen;
    Run(dialog, [&](HWND d) { seen = Choose(dialog, d, 0); });
    EXPECT_EQ(seen, std::make_pair(true, std::wstring(L"Dovrex")));
}

TEST_F(MainDialogTest, AWholeRunThroughTheDialogDeliversTheImageAndEndsReady) {
    reflasher::sim::EmbosserModel& embosser = rig_.AddEmbosser(L"Dovrex");
    rig_.EmbedImage();
    CReflasherDlg dialog(rig_.Services());
    std::wstring message, statusWithBox, refusedWhileLocked;
    int positionWithBox = -1, positionAfter = -1;
    bool idle = false, lockFreeWithBox = false;
    LRESULT sessionEndWithBox = -1;
    std::size_t jobsWhileLocked = 99;
    Run(dialog, [&](HWND d) {
        // Another copy of the program updating this embosser, through whichever queue
        // on its port: Start is refused.
        auto otherCopy = rig_.locks.TryTake(L"usb001");
        RemoteDialog(d).PostCommand(IDC_START_DOWNLOAD);
        refusedWhileLocked = TakeMessageBox(L"Error");
        jobsWhileLocked = rig_.spooler.Jobs().size();
        otherCopy.reset();

        RemoteDialog(d).PostCommand(IDC_START_DOWNLOAD);
        const HWND box = WaitForWindow(L"Info");
        statusWithBox = WindowText(GetDlgItem(d, IDC_STATUS_LINE));
        positionWithBox = RemoteDialog(d).ProgressPos();
        // The embosser's work is over: with the result on screen, the session may
        // end and another copy may update the embosser.
        sessionEndWithBox = RemoteDialog(d).QueryEndSession();
        dialogThread_.Sync();
        lockFreeWithBox = rig_.locks.TryTake(L"USB001") != nullptr;
        message = ReadMessageBox(box).text;
        AnswerMessageBox(box);
        idle = WaitUntilIdle();
        positionAfter = RemoteDialog(d).ProgressPos();
        RemoteDialog(d).PostCommand(IDC_EXIT);
        WaitForWindowGone(d);
    });
    EXPECT_EQ(refusedWhileLocked, kBusy);
    EXPECT_EQ(jobsWhileLocked, 0u);
    EXPECT_EQ(sessionEndWithBox, TRUE);
    EXPECT_TRUE(lockFreeWithBox);
    EXPECT_EQ(message, kSuccess);
    EXPECT_EQ(statusWithBox, L"writing done");
    EXPECT_EQ(positionWithBox, 100);
    EXPECT_TRUE(idle);
    EXPECT_EQ(positionAfter, 0);
    EXPECT_EQ(dialog.statusText, L"writing done");
    const std::vector<unsigned char> received = embosser.FirmwareReceived();
    EXPECT_EQ(received, *rig_.image.image);
    EXPECT_EQ(rig_.spooler.OpenHandleCount(), 0);
}

// Leaving mid-flash can ruin the embosser: every way out, and Browse and Start,
// get the busy message and the run goes on to its end.
TEST_F(MainDialogTest, DuringARunEveryWayOutIsRefusedAndTheRunGoesOn) {
    rig_.AddEmbosser(L"Dovrex");
    rig_.EmbedImage();
    CReflasherDlg dialog(rig_.Services());
    struct Attempt {
        const char* name;
        std::function<void(HWND)> act;
    };
    const Attempt attempts[] = {
        {"Exit", [](HWND d) { RemoteDialog(d).PostCommand(IDC_EXIT); }},
        {"Browse", [](HWND d) { RemoteDialog(d).PostCommand(IDC_BROWSE); }},
        {"Start Download", [](HWND d) { RemoteDialog(d).PostCommand(IDC_START_DOWNLOAD); }},
        {"close box", [](HWND d) { PostMessageW(d, WM_CLOSE, 0, 0); }},
        {"Close on the system menu", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Alt+F4", [](HWND d) { PostKey(d, VK_F4, true); }},
        {"Escape", [](HWND d) { PostKey(d, VK_ESCAPE); }},
        {"Enter", [](HWND d) { PostKey(d, VK_RETURN); }},
    };
    std::vector<std::wstring> answers;
    std::vector<bool> stillOpen;
    std::wstring statusWhileHeld, message;
    bool held = false, idle = false, lockedWhileHeld = false;
    LRESULT sessionEndWhileHeld = -1;
    const INT_PTR result = Run(dialog, [&](HWND d) {
        // Enter presses a focused push button instead; the list box is no button.
        dialogThread_.Run([d] { SetFocus(GetDlgItem(d, IDC_PRINTER_COMBO)); });
        rig_.clock.Hold();
        RemoteDialog(d).PostCommand(IDC_START_DOWNLOAD);
        held = rig_.clock.WaitUntilHeld();
        statusWhileHeld = WindowText(GetDlgItem(d, IDC_STATUS_LINE));
        lockedWhileHeld = rig_.locks.TryTake(L"USB001") == nullptr;
        sessionEndWhileHeld = RemoteDialog(d).QueryEndSession();
        for (const Attempt& attempt : attempts) {
            attempt.act(d);
            answers.push_back(TakeMessageBox(L"Error"));
            dialogThread_.Sync();
            stillOpen.push_back(IsWindow(d) && IsWindowVisible(d));
        }
        rig_.clock.Release();
        message = TakeMessageBox(L"Info");
        idle = WaitUntilIdle();
        RemoteDialog(d).PostCommand(IDC_EXIT);
        WaitForWindowGone(d);
    });
    ASSERT_TRUE(held);
    EXPECT_EQ(statusWhileHeld, L"negotiating update");
    EXPECT_TRUE(lockedWhileHeld) << "another copy could take the embosser mid-run";
    EXPECT_EQ(sessionEndWhileHeld, FALSE);
    ASSERT_EQ(answers.size(), std::size(attempts));
    for (std::size_t i = 0; i < answers.size(); ++i) {
        SCOPED_TRACE(attempts[i].name);
        EXPECT_EQ(answers[i], kBusy);
        EXPECT_TRUE(stillOpen[i]);
    }
    EXPECT_EQ(message, kSuccess);
    EXPECT_TRUE(idle);
    EXPECT_EQ(result, CDialog::kNoResult);  // Exit, once the run was over
}

TEST_F(MainDialogTest, TheRunKeepsThePrinterItStartedWithWhateverIsChosenMeanwhile) {
    reflasher::sim::EmbosserModel& left = rig_.AddEmbosser(L"Left", L"USB001");
    reflasher::sim::EmbosserModel& right = rig_.AddEmbosser(L"Right", L"USB002");
    rig_.EmbedImage();
    CReflasherDlg dialog(rig_.Services());
    std::wstring message;
    bool chosenPortLocked = false, otherPortFree = false;
    Run(dialog, [&](HWND d) {
        Choose(dialog, d, 1);
        rig_.clock.Hold();
        RemoteDialog(d).PostCommand(IDC_START_DOWNLOAD);
        rig_.clock.WaitUntilHeld();
        // The run holds the chosen line's embosser, its port, and no other.
        chosenPortLocked = rig_.locks.TryTake(L"USB001") == nullptr;
        otherPortFree = rig_.locks.TryTake(L"USB002") != nullptr;
        Choose(dialog, d, 2);  // the list stays usable during a run
        rig_.clock.Release();
        message = TakeMessageBox(L"Info");
        WaitUntilIdle();
    });
    EXPECT_EQ(message, kSuccess);
    for (const std::wstring& name : rig_.spooler.OpenedNames()) EXPECT_EQ(name, L"Left");
    EXPECT_EQ(rig_.spooler.OpenedNames().size(), 2u);  // both opens of the run
    EXPECT_FALSE(left.FirmwareReceived().empty());
    EXPECT_TRUE(right.Jobs().empty());
    EXPECT_EQ(dialog.selectedPrinter, L"Right");
    EXPECT_EQ(dialog.selectedPort, L"USB002");
    EXPECT_TRUE(chosenPortLocked);
    EXPECT_TRUE(otherPortFree);
}

TEST_F(MainDialogTest, AWorkerThatCannotStartLeavesTheDialogReady) {
    rig_.AddEmbosser(L"Dovrex");
    rig_.EmbedImage();
    rig_.startThread = &rig::FailToStartThread;
    CReflasherDlg dialog(rig_.Services());
    std::wstring message;
    bool busyAfter = true;
    LRESULT sessionEndAfter = FALSE;
    const INT_PTR result = Run(dialog, [&](HWND d) {
        RemoteDialog(d).PostCommand(IDC_START_DOWNLOAD);
        message = TakeMessageBox(L"Error");
        busyAfter = downloadInProgress;
        // Nor does the session stay blocked (the scenarios check the run itself).
        sessionEndAfter = RemoteDialog(d).QueryEndSession();
        RemoteDialog(d).PostCommand(IDC_EXIT);  // not refused
        WaitForWindowGone(d);
    });
    EXPECT_EQ(message, L"The download could not be started.");
    EXPECT_FALSE(busyAfter);
    EXPECT_EQ(sessionEndAfter, TRUE);
    EXPECT_EQ(result, CDialog::kNoResult);
    EXPECT_TRUE(rig_.spooler.Jobs().empty());
}

// Outside a run the dialog ends as dialogs do; only OK reads the status line back.
TEST_F(MainDialogTest, OutsideARunEveryWayOutEndsTheDialog) {
    struct Way {
        const char* name;
        std::function<void(HWND)> act;
        INT_PTR result;
    };
    const Way ways[] = {
        {"Exit", [](HWND d) { RemoteDialog(d).PostCommand(IDC_EXIT); }, CDialog::kNoResult},
        {"close box", [](HWND d) { PostMessageW(d, WM_CLOSE, 0, 0); }, IDCANCEL},
        {"Close on the system menu", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
        {"Alt+F4", [](HWND d) { PostKey(d, VK_F4, true); }, IDCANCEL},
        {"Escape", [](HWND d) { PostKey(d, VK_ESCAPE); }, IDCANCEL},
        {"Enter", [](HWND d) { PostKey(d, VK_RETURN); }, IDOK},
    };
    rig_.AddEmbosser(L"Dovrex");
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        CReflasherDlg dialog(rig_.Services());
        const INT_PTR result = Run(dialog, [&](HWND d) {
            dialogThread_.Run([d] { SetFocus(GetDlgItem(d, IDC_PRINTER_COMBO)); });
            SendMessageW(GetDlgItem(d, IDC_STATUS_LINE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"shown"));
            way.act(d);
            WaitForWindowGone(d);
        });
        EXPECT_EQ(result, way.result);
        EXPECT_EQ(dialog.statusText, way.result == IDOK ? L"shown" : L"");
    }
}

TEST_F(MainDialogTest, TheSystemMenuOpensTheAboutBoxOverTheDialog) {
    rig_.AddEmbosser(L"Dovrex");
    CReflasherDlg dialog(rig_.Services());
    // As in the program: the main dialog is the application's main window, which
    // owns the About box.
    CWinApp app;
    app.m_pMainWnd = &dialog;
    std::wstring lastItem;
    UINT lastId = 0, separatorState = 0;
    HWND owner = nullptr, dialogWindow = nullptr;
    RECT dialogRect{}, aboutRect{};
    bool aboutClosed = false, dialogOpen = false, otherCommandOpenedAbout = true;
    Run(dialog, [&](HWND d) {
        dialogThread_.Run([&] {
            const HMENU menu = GetSystemMenu(d, FALSE);
            const int count = GetMenuItemCount(menu);
            wchar_t text[64] = {};
            GetMenuStringW(menu, count - 1, text, 64, MF_BYPOSITION);
            lastItem = text;
            lastId = GetMenuItemID(menu, count - 1);
            separatorState = GetMenuState(menu, count - 2, MF_BYPOSITION);
        });
        // The low four bits of a system command are the system's own.
        PostMessageW(d, WM_SYSCOMMAND, IDM_ABOUTBOX | 0x5, 0);
        const HWND about = WaitForWindow(L"About Reflasher");
        owner = GetWindow(about, GW_OWNER);
        dialogWindow = d;
        GetWindowRect(d, &dialogRect);
        GetWindowRect(about, &aboutRect);
        aboutClosed = AnswerMessageBox(about);
        dialogThread_.Sync();
        dialogOpen = IsWindowVisible(d) != FALSE;
        PostMessageW(d, WM_SYSCOMMAND, 0x0020, 0);
        dialogThread_.Sync();
        otherCommandOpenedAbout = FindWindowByCaption(L"About Reflasher") != nullptr;
    });
    EXPECT_EQ(lastItem, L"&About Reflasher...");
    EXPECT_EQ(lastId, static_cast<UINT>(IDM_ABOUTBOX));
    EXPECT_TRUE(separatorState & MF_SEPARATOR);
    EXPECT_EQ(owner, dialogWindow);
    EXPECT_NEAR((aboutRect.left + aboutRect.right) / 2, (dialogRect.left + dialogRect.right) / 2, 1);
    EXPECT_NEAR((aboutRect.top + aboutRect.bottom) / 2, (dialogRect.top + dialogRect.bottom) / 2, 1);
    EXPECT_TRUE(aboutClosed);
    EXPECT_TRUE(dialogOpen);
    EXPECT_FALSE(otherCommandOpenedAbout);
}

// What the taskbar button is asked to show follows the run: the bar while it works,
// the error state while its Error box waits, nothing after; the taskbar itself
// can't be reached under Wine, and the run goes on without it.
TEST_F(MainDialogTest, TheTaskbarButtonFollowsTheRunAndShowsAWaitingError) {
    reflasher::sim::EmbosserModel& embosser = rig_.AddEmbosser(L"Dovrex");
    reflasher::sim::EmbosserScript script;
    // Ready once, then no status: the recheck fails with an Error box.
    script.fault = reflasher::sim::EmbosserFault::LostAfterReady;
    embosser.SetScript(script);
    rig_.EmbedImage();
    CReflasherDlg dialog(rig_.Services());
    struct Seen {
        TaskbarButton::State state = TaskbarButton::State::None;
        int completed = -1, total = -1, bar = -1;
    };
    Seen before, held, withBox, after;
    auto look = [&](HWND d) {
        Seen seen;
        dialogThread_.Run([&] {
            seen = {dialog.Taskbar().Shown(), dialog.Taskbar().Completed(),
                    dialog.Taskbar().Total(), RemoteDialog(d).ProgressPos()};
        });
        return seen;
    };
    std::wstring message;
    Run(dialog, [&](HWND d) {
        before = look(d);
        rig_.clock.Hold();
        RemoteDialog(d).PostCommand(IDC_START_DOWNLOAD);
        rig_.clock.WaitUntilHeld();
        // As Explorer announces the button; the taskbar can't be reached here.
        SendMessageW(d, TaskbarButton::CreatedMessage(), 0, 0);
        held = look(d);
        rig_.clock.Release();
        const HWND box = WaitForWindow(L"Error");
        withBox = look(d);
        message = ReadMessageBox(box).text;
        AnswerMessageBox(box);
        WaitUntilIdle();
        dialogThread_.Sync();
        after = look(d);
    });
    EXPECT_EQ(before.state, TaskbarButton::State::None);
    EXPECT_EQ(held.state, TaskbarButton::State::Progress);
    EXPECT_EQ(held.total, 100);
    EXPECT_EQ(held.completed, held.bar);
    EXPECT_GT(held.bar, 0);
    EXPECT_EQ(withBox.state, TaskbarButton::State::Error);
    EXPECT_EQ(withBox.completed, withBox.bar);
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(after.state, TaskbarButton::State::None);
}

// The names of the controls without a label, and the status line's description,
// read as a screen reader in this process reads them; where oleacc takes
// annotations they are those, where it doesn't (Wine) the dialog answers
// WM_GETOBJECT itself.
TEST_F(MainDialogTest, TheUnlabelledControlsHaveTheirNamesForScreenReaders) {
    rig_.AddEmbosser(L"Dovrex");
    CReflasherDlg dialog(rig_.Services());
    std::map<std::string, std::wstring> names;
    bool namesAnnotated = false, liveSettingAnnotated = false;
    Run(dialog, [&](HWND d) {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        COMBOBOXINFO parts{};
        parts.cbSize = sizeof parts;
        GetComboBoxInfo(GetDlgItem(d, IDC_PRINTER_COMBO), &parts);
        const std::pair<const char*, HWND> controls[] = {
            {"printer list", GetDlgItem(d, IDC_PRINTER_COMBO)},
            {"its edit field", parts.hwndItem},
            {"progress bar", GetDlgItem(d, IDC_PROGRESS)},
            {"status line", GetDlgItem(d, IDC_STATUS_LINE)},
        };
        for (const auto& [what, control] : controls) {
            IAccessible* object = nullptr;
            if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                                  __uuidof(IAccessible),
                                                  reinterpret_cast<void**>(&object)))) {
                continue;
            }
            VARIANT self;
            VariantInit(&self);
            self.vt = VT_I4;
            self.lVal = CHILDID_SELF;
            BSTR name = nullptr, description = nullptr;
            if (SUCCEEDED(object->get_accName(self, &name)) && name != nullptr) {
                names[what] = name;
                SysFreeString(name);
            }
            if (SUCCEEDED(object->get_accDescription(self, &description)) && description) {
                names[std::string(what) + " described"] = description;
                SysFreeString(description);
            }
            object->Release();
        }
        dialogThread_.Run([&] {
            namesAnnotated = dialog.Accessibility().NamesAnnotated();
            liveSettingAnnotated = dialog.Accessibility().LiveSettingAnnotated();
        });
        CoUninitialize();
    });
    std::printf("names by annotation: %s; status line LiveSetting by annotation: %s\n",
                namesAnnotated ? "yes" : "no", liveSettingAnnotated ? "yes" : "no");
    EXPECT_EQ(names["printer list"], L"Printer");
    EXPECT_EQ(names["its edit field"], L"Printer");
    EXPECT_EQ(names["progress bar"], L"Progress");
    // Before the first run the status line is empty, and still says what it is.
    EXPECT_EQ(names["status line"], L"");
    EXPECT_EQ(names["status line described"], L"Status");
}

TEST_F(MainDialogTest, BrowseChoosesTheFileThatTheRunThenSends) {
    reflasher::sim::EmbosserModel& embosser = rig_.AddEmbosser(L"Dovrex");
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"reflasher-browse-test.hex";
    const std::vector<unsigned char> image = reflasher::fakes::SmallFirmwareImage();
    {
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, image.data(), static_cast<DWORD>(image.size()), &written, nullptr);
        CloseHandle(file);
        ASSERT_EQ(written, image.size());
    }
    // The current folder is not the file's: after Browse it is still this one. (Wine's
    // dialog keeps it by itself; Windows' Open dialog doesn't, whatever the flags.)
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    ASSERT_TRUE(SetCurrentDirectoryW(windows));
    auto currentFolder = [] {
        wchar_t current[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, current);
        return std::wstring(current);
    };
    const std::wstring folderBefore = currentFolder();
    CReflasherDlg dialog(rig_.Services());
    std::wstring labelAfterChoice, labelAfterCancel, message, folderAfterChoice;
    int positionAfterCancel = -1;
    Run(dialog, [&](HWND d) {
        RemoteDialog(d).PostCommand(IDC_BROWSE);
        const HWND chooser = WaitForWindow(L"Open");
        SendMessageW(FirstVisibleEdit(chooser), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        PostMessageW(chooser, WM_COMMAND, IDOK, 0);
        WaitForWindowGone(chooser);
        dialogThread_.Sync();
        labelAfterChoice = WindowText(GetDlgItem(d, IDC_FILE_PATH));
        folderAfterChoice = currentFolder();

        SendMessageW(GetDlgItem(d, IDC_PROGRESS), PBM_SETPOS, 40, 0);
        RemoteDialog(d).PostCommand(IDC_BROWSE);
        const HWND again = WaitForWindow(L"Open");
        PostMessageW(again, WM_COMMAND, IDCANCEL, 0);
        WaitForWindowGone(again);
        dialogThread_.Sync();
        labelAfterCancel = WindowText(GetDlgItem(d, IDC_FILE_PATH));
        positionAfterCancel = RemoteDialog(d).ProgressPos();

        RemoteDialog(d).PostCommand(IDC_START_DOWNLOAD);
        message = TakeMessageBox(L"Info");
        WaitUntilIdle();
    });
    DeleteFileW(path.c_str());
    EXPECT_EQ(labelAfterChoice, path);
    EXPECT_EQ(folderAfterChoice, folderBefore);
    EXPECT_EQ(labelAfterCancel, path);  // a cancelled Browse keeps the earlier choice
    EXPECT_EQ(positionAfterCancel, 0);
    EXPECT_EQ(dialog.firmwarePath, path);
    EXPECT_TRUE(dialog.fileChosen);
    EXPECT_EQ(message, kSuccess);
    const std::vector<unsigned char> received = embosser.FirmwareReceived();
    EXPECT_EQ(received, image);
}

}  // namespace
