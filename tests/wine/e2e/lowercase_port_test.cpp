// Scenario 7: an embosser on a port named in lower case ("usb001") is listed,
// since discovery folds letter case, but the update run's exact port test
// refuses it: the run ends at the open, with no job and no message.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/wine/support/RunChecks.h"
#include "tests/wine/support/DialogFixture.h"
#include "tests/shared/ExpectedTexts.h"

namespace reflasher::e2e {
namespace {

using LowerCasePort = DialogFixture;

TEST_F(LowerCasePort, IsListedButTheRunEndsSilentlyAtTheOpen) {
    EmbosserSetup setup;
    setup.printer = {L"Dovrex Embosser", L"usb001", L"Quillmar Dovrex"};
    SimulatedEmbosser& embosser = AddEmbosser(setup, L"lower");
    ASSERT_FALSE(HasFailure());
    StartProgram(env.embeddedProgram);
    ASSERT_TRUE(dialog.Visible());
    EXPECT_TRUE(VisibleMessageBoxes(program.ProcessId()).empty());
    EXPECT_EQ(Printable(dialog.ComboLines()),
              Printable(std::vector<std::wstring>{L"Dovrex Embosser on usb001"}));
    EXPECT_EQ(dialog.ComboSelection(), 0);

    StartRecording();
    ASSERT_TRUE(dialog.ClickButton(IDC_START_DOWNLOAD));
    ExpectOnlyTheDialogFor(kNothingHappensMs);
    recorder->Stop();
    EXPECT_EQ(embosser.JobCount(), 0) << "a job reached the sink";
    EXPECT_EQ(Printable(recorder->StatusLines()), Printable(std::vector<std::wstring>{L""}));
    EXPECT_EQ(Printable(recorder->BarPositions()), Printable(std::vector<int>{0}));
    // The run is over, not hanging: Exit isn't refused as busy.
    ExpectExitEndsProgram();
}

}  // namespace
}  // namespace reflasher::e2e
