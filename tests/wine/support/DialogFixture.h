// The one fixture of every Windows-tier test that drives a dialog, in either of
// the two ways a dialog runs:
//  - inside this process: the test thread runs it modal (it is then the dialog
//    thread) while a script thread acts as a user would (framework, main dialog,
//    the dialog's pictures);
//  - the real Reflasher.exe, started with simulated embossers behind the spooler,
//    driven from outside as a user or a screen reader would, its run recorded, real
//    keys and screen pictures asked of the host side (end-to-end scenarios, visual
//    and keyboard checks). On failure the reader gets the whole timeline and the
//    bridges' logs.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/shared/ExpectedTexts.h"
#include "tests/wine/support/DialogRecorder.h"
#include "tests/wine/support/DialogScript.h"
#include "tests/wine/support/E2eEnvironment.h"
#include "tests/wine/support/FrameTimeline.h"
#include "tests/wine/support/HostRequests.h"
#include "tests/wine/support/ReflasherProgram.h"
#include "tests/wine/support/SimulatedEmbosser.h"
#include "tests/wine/support/Windows.h"

namespace reflasher::e2e {

// Generous: parallel scenarios share two cores, and Wine starts slowly.
constexpr unsigned kProgramStartMs = 45000;
constexpr unsigned kWholeRunMs = 120000;
constexpr unsigned kBoxCloseMs = 10000;
// How long a command that must do nothing is given to show something.
constexpr unsigned kNothingHappensMs = 3000;

class DialogFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // --- A dialog of this process.
    // Runs `dialog` modal on this thread once its window (with `modalCaption`) shows,
    // and `script` on another meanwhile; gives DoModal's value.
    template <class Dialog>
    INT_PTR Run(Dialog& dialog, const std::function<void(HWND)>& script) {
        return dialog_script::RunWithScript(modalCaption, [&] { return dialog.DoModal(); }, script);
    }
    const wchar_t* modalCaption = expected::kMainCaption;
    dialog_script::DialogThread dialogThread_;

    // --- The real program.
    // Installs one more embosser; fails the test if it can't.
    SimulatedEmbosser& AddEmbosser(EmbosserSetup setup, const std::wstring& tag);
    // Starts the program and waits for its dialog on screen.
    RemoteDialog StartProgram(const std::wstring& program);
    void StartRecording();

    // The next message box of the program; `text` narrows it down.
    std::optional<MessageBoxSeen> WaitForMessageBox(unsigned timeoutMs,
                                                    const std::wstring* text = nullptr);
    // Presses OK once the recorder (if any) has seen the box: Wine takes a while to
    // close a box, and meanwhile the program's threads may answer slowly.
    bool Answer(const MessageBoxSeen& box);
    // Waits for the box with exactly this text and caption, checks its owner, presses OK.
    void ExpectMessageAndAnswer(const std::wstring& caption, const std::wstring& text,
                                unsigned timeoutMs);
    // Nothing but the main dialog on screen, for `ms` milliseconds.
    void ExpectOnlyTheDialogFor(unsigned ms);
    // Exit, then the program ends (which it doesn't while a run is under way).
    void ExpectExitEndsProgram();
    // Saves the screen to the build tree and prints where.
    std::wstring Screenshot(const std::wstring& name);
    std::vector<unsigned char> SyntheticImage() const;

    // resources/<name> from the source tree.
    visuals::RgbImage CommittedPicture(const std::wstring& name);
    // Screen coordinates of a control's client area.
    RECT ControlArea(int id) const;
    // Pictures of the busy picture for `ms`, read as frames.
    visuals::FrameTimeline WatchBusyPicture(const std::wstring& name, unsigned ms);
    void StartWatchingBusyPicture(const std::wstring& name, unsigned ms);
    visuals::FrameTimeline FinishWatchingBusyPicture(const std::wstring& name, unsigned ms);
    // The control with the keyboard focus, by id (a combo box's edit field counts as
    // the combo box); 0 when the focus is elsewhere.
    int FocusedControl() const;
    // A real key on the display (xdotool's names).
    bool PressKey(const std::string& key) { return host->PressKeys({key}); }

    E2eEnvironment env;
    ReflasherProgram program;
    RemoteDialog dialog;
    std::unique_ptr<DialogRecorder> recorder;
    std::vector<std::unique_ptr<SimulatedEmbosser>> embossers;
    std::unique_ptr<visuals::HostRequests> host;
    // The busy picture's four committed frames.
    std::array<visuals::RgbImage, 4> frames;

private:
    std::string missing_;  // the first variable of the program's environment not set
};

}  // namespace reflasher::e2e
