// Scenario: two copies of the program open on one embosser, which Windows shows
// as two queues on its USB port; each copy chooses another queue. While the first
// copy's run has the embosser, the second copy's Start Download is refused with
// the busy message and sends nothing; once the first run's device work is over
// (its result still on screen) the second copy updates the embosser in turn.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "resources/resource.h"
#include "tests/wine/support/RunChecks.h"
#include "tests/wine/support/DialogFixture.h"
#include "tests/shared/ExpectedTexts.h"
#include "tests/wine/support/Waiting.h"

namespace reflasher::e2e {
namespace {

using TwoCopies = DialogFixture;

// The box with `text` that the program with this process id shows.
std::optional<MessageBoxSeen> WaitForBoxOf(DWORD processId, const std::wstring& text,
                                           unsigned timeoutMs) {
    std::optional<MessageBoxSeen> found;
    WaitUntil(
        [&] {
            for (const MessageBoxSeen& box : VisibleMessageBoxes(processId)) {
                if (box.text == text) found = box;
            }
            return found.has_value();
        },
        timeoutMs);
    return found;
}

// Chooses the list line of `queue` on USB001, as the user picks it.
bool ChooseQueue(const RemoteDialog& dialog, const std::wstring& queue) {
    const std::vector<std::wstring> lines = dialog.ComboLines();
    const auto line = std::find(lines.begin(), lines.end(), queue + L" on USB001");
    if (line == lines.end()) return false;
    const int index = static_cast<int>(line - lines.begin());
    return dialog.ChooseComboLine(index) && dialog.ComboSelection() == index;
}

TEST_F(TwoCopies, TheSecondCopyWaitsUntilTheFirstOneIsDoneWithTheEmbosser) {
    EmbosserSetup setup;
    setup.bridgeArguments = {L"--write-ticks", L"20"};  // time to try the second copy
    const std::wstring copyQueue = L"Dovrex Embosser (Copy 1)";
    setup.otherQueues = {copyQueue};
    SimulatedEmbosser& embosser = AddEmbosser(setup, L"main");
    ASSERT_FALSE(HasFailure());
    StartProgram(env.embeddedProgram);
    ASSERT_TRUE(dialog.Visible());
    ASSERT_TRUE(ChooseQueue(dialog, embosser.Printer().name)) << Printable(dialog.ComboLines());
    ReflasherProgram second;
    ASSERT_EQ(second.Start(env.embeddedProgram), "");
    RemoteDialog secondDialog = second.WaitForVisibleDialog(kProgramStartMs);
    ASSERT_TRUE(secondDialog.Visible());
    ASSERT_TRUE(ChooseQueue(secondDialog, copyQueue)) << Printable(secondDialog.ComboLines());

    StartRecording();
    ASSERT_TRUE(dialog.ClickButton(IDC_START_DOWNLOAD));
    ASSERT_TRUE(recorder->WaitForStatusLine(expected::kWriting, kWholeRunMs));
    ASSERT_TRUE(secondDialog.ClickButton(IDC_START_DOWNLOAD));
    const auto refused = WaitForBoxOf(second.ProcessId(), expected::kBusy, kBoxCloseMs);
    ASSERT_TRUE(refused.has_value()) << "the second copy went ahead mid-flash";
    EXPECT_EQ(Printable(refused->caption), Printable(expected::kErrorCaption));
    EXPECT_EQ(refused->owner, secondDialog.Window());
    EXPECT_TRUE(AnswerMessageBox(refused->window, kBoxCloseMs));

    // The first copy's result on screen: its embosser is free again.
    const auto firstResult = WaitForBoxOf(program.ProcessId(), expected::kSuccess, kWholeRunMs);
    ASSERT_TRUE(firstResult.has_value()) << "the first run didn't succeed";
    EXPECT_EQ(embosser.JobCount(), 2) << "the refused copy sent jobs";
    ASSERT_TRUE(secondDialog.ClickButton(IDC_START_DOWNLOAD));
    const auto secondResult = WaitForBoxOf(second.ProcessId(), expected::kSuccess, kWholeRunMs);
    ASSERT_TRUE(secondResult.has_value()) << "the second copy's run didn't succeed";
    EXPECT_EQ(embosser.JobCount(), 4);
    EXPECT_TRUE(embosser.FirmwareReceived() == SyntheticImage());

    EXPECT_TRUE(AnswerMessageBox(secondResult->window, kBoxCloseMs));
    EXPECT_TRUE(Answer(*firstResult));
    second.Kill();
}

}  // namespace
}  // namespace reflasher::e2e
