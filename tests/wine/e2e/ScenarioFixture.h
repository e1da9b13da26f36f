// What every end-to-end scenario does around the program: the environment,
// the simulated embossers, Reflasher.exe itself, the recorder, message boxes,
// and on failure the whole timeline and the bridges' logs for the reader.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/wine/support/DialogRecorder.h"
#include "tests/wine/support/E2eEnvironment.h"
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

class ScenarioFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

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

    E2eEnvironment env;
    ReflasherProgram program;
    RemoteDialog dialog;
    std::unique_ptr<DialogRecorder> recorder;
    std::vector<std::unique_ptr<SimulatedEmbosser>> embossers;
};

}  // namespace reflasher::e2e
