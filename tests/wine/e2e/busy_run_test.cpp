// Scenario 5: while a run is under way every way out of the dialog, Browse and
// a second Start Download are refused with the busy message, and the end of the
// session without any box while the embosser works; the About box opens and closes
// while the run goes on; and the run still ends in success, with the session free
// to end again as soon as its result is shown.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "resources/resource.h"
#include "tests/wine/support/FirmwareFiles.h"
#include "tests/wine/support/RunChecks.h"
#include "tests/wine/support/DialogFixture.h"
#include "tests/shared/ExpectedTexts.h"
#include "tests/wine/support/OpenFileDialog.h"
#include "tests/wine/support/Waiting.h"

namespace reflasher::e2e {
namespace {

using BusyRun = DialogFixture;

HWND FindAboutBox(DWORD processId) {
    for (const TopWindow& window : VisibleTopLevelWindows(processId)) {
        if (window.className == L"#32770" && window.caption == expected::kAboutCaption)
            return window.window;
    }
    return nullptr;
}

// While a run is under way: refused at once, and with no box of its own (Windows
// shows the program's block reason instead, which Wine neither keeps nor shows).
void ExpectSessionEndRefused(const RemoteDialog& dialog, DWORD processId) {
    EXPECT_EQ(dialog.QueryEndSession(), FALSE);
    EXPECT_TRUE(VisibleMessageBoxes(processId).empty()) << "a box of its own";
}

bool HasText(HWND dialog, const std::wstring& text) {
    for (HWND child : ChildWindows(dialog)) {
        if (StoredText(child) == text) return true;
    }
    return false;
}

TEST_F(BusyRun, RefusesEveryWayOutAndGoesOnToSuccess) {
    const std::vector<unsigned char> image = ChosenFirmwareImage();
    const std::wstring chosen = WriteChosenFirmware(env.workFolder, image);
    ASSERT_NE(chosen, L"");
    EmbosserSetup setup;
    // 16 s of writing: room for the refusals and the About box in that phase,
    // when leaving would do the most harm.
    setup.bridgeArguments = {L"--write-ticks", L"40"};
    SimulatedEmbosser& embosser = AddEmbosser(setup, L"main");
    ASSERT_FALSE(HasFailure());
    StartProgram(env.fileModeProgram);
    ASSERT_TRUE(dialog.Visible());
    ASSERT_TRUE(dialog.ClickButton(IDC_BROWSE));
    const OpenDialogSeen browse = WaitForOpenDialog(program.ProcessId(), kProgramStartMs);
    ASSERT_NE(browse.window, nullptr) << "no file dialog";
    ASSERT_TRUE(ChooseFile(browse, chosen, kBoxCloseMs));
    ASSERT_TRUE(
        WaitUntil([&] { return dialog.ControlText(IDC_FILE_PATH) == chosen; }, kBoxCloseMs));

    // Idle, the session may end as for any program.
    EXPECT_EQ(dialog.QueryEndSession(), TRUE);

    StartRecording();
    ASSERT_TRUE(dialog.ClickButton(IDC_START_DOWNLOAD));
    ASSERT_TRUE(recorder->WaitForStatusLine(expected::kNegotiating, kWholeRunMs));

    const struct {
        const char* what;
        std::function<bool()> act;
        bool whileWriting;
    } attempts[] = {
        {"Exit", [&] { return dialog.PostCommand(IDC_EXIT); }, false},
        {"Browse", [&] { return dialog.ClickButton(IDC_BROWSE); }, false},
        {"Start Download", [&] { return dialog.ClickButton(IDC_START_DOWNLOAD); }, false},
        {"the close box (WM_CLOSE)", [&] { return dialog.PostClose(); }, true},
        {"Close on the system menu (SC_CLOSE)", [&] { return dialog.PostSysCommand(SC_CLOSE); },
         true},
        {"the Escape key", [&] { return dialog.PressKey(VK_ESCAPE); }, true},
        {"Cancel (IDCANCEL)", [&] { return dialog.PostCommand(IDCANCEL); }, true},
        {"OK (IDOK, what Enter does)", [&] { return dialog.PostCommand(IDOK); }, true},
    };
    for (const auto& attempt : attempts) {
        SCOPED_TRACE(attempt.what);
        if (attempt.whileWriting) {
            ASSERT_TRUE(recorder->WaitForStatusLine(expected::kWriting, kWholeRunMs));
        }
        const ULONGLONG start = GetTickCount64();
        ASSERT_TRUE(attempt.act());
        ExpectMessageAndAnswer(expected::kErrorCaption, expected::kBusy, kBoxCloseMs);
        // Refused means refused: the dialog stays, and Browse opened no file dialog.
        EXPECT_TRUE(dialog.Visible());
        EXPECT_EQ(WaitForOpenDialog(program.ProcessId(), 0).window, nullptr);
        std::printf("%s refused in %.1f s (run at \"%s\", bar %d)\n", attempt.what,
                    static_cast<double>(GetTickCount64() - start) / 1000.0,
                    Printable(recorder->LastStatusLine()).c_str(), recorder->LastBarPosition());
    }
    EXPECT_EQ(Printable(dialog.ControlText(IDC_FILE_PATH)), Printable(chosen));
    EXPECT_EQ(Printable(recorder->LastStatusLine()), Printable(expected::kWriting))
        << "the refusals took too long";
    ExpectSessionEndRefused(dialog, program.ProcessId());

    // The About box from the system menu; the run goes on behind it.
    ASSERT_TRUE(dialog.PostSysCommand(IDM_ABOUTBOX));
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (about = FindAboutBox(program.ProcessId())) != nullptr; },
                          kBoxCloseMs))
        << "no About box";
    EXPECT_EQ(GetWindow(about, GW_OWNER), dialog.Window());
    EXPECT_TRUE(HasText(about, expected::kAboutVersion));
    const int barWithAboutOpen = recorder->LastBarPosition();
    EXPECT_TRUE(recorder->WaitForBarChange(barWithAboutOpen, 10000))
        << "the run stood still behind the About box";
    ASSERT_TRUE(PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0));
    EXPECT_TRUE(WaitForWindowGone(about, kBoxCloseMs));

    // The embosser's work is over once the final message shows: the session may end
    // with the result on screen (the dialog's refusals last until it is closed).
    const std::wstring successText = expected::kSuccess;
    const std::optional<MessageBoxSeen> success = WaitForMessageBox(kWholeRunMs, &successText);
    ASSERT_TRUE(success.has_value()) << "no success message";
    EXPECT_EQ(dialog.QueryEndSession(), TRUE) << "with the final message open";
    ExpectMessageAndAnswer(expected::kInfoCaption, expected::kSuccess, kWholeRunMs);
    EXPECT_TRUE(recorder->WaitForBarPosition(0, kBoxCloseMs));
    recorder->Stop();
    EXPECT_TRUE(WaitUntil([&] { return dialog.QueryEndSession() == TRUE; }, kBoxCloseMs))
        << "the session may not end after the run";

    EXPECT_EQ(Printable(recorder->StatusLines()), Printable(SuccessfulRunStatusLines()));
    EXPECT_EQ(embosser.JobCount(), 2) << "a refused Start Download sent jobs";
    EXPECT_TRUE(embosser.FirmwareReceived() == image);
    ExpectExitEndsProgram();
}

}  // namespace
}  // namespace reflasher::e2e
