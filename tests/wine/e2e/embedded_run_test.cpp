// Scenario 1: the program carrying its image, one embosser, a whole update as a
// user sees it, and the image arriving at the embosser byte for byte.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/wine/support/RunChecks.h"
#include "tests/wine/support/DialogFixture.h"
#include "tests/shared/ExpectedTexts.h"
#include "tests/wine/support/Waiting.h"

namespace reflasher::e2e {
namespace {

using EmbeddedRun = DialogFixture;

TEST_F(EmbeddedRun, OnePrinterUpdatesWithTheEmbeddedImage) {
    SimulatedEmbosser& embosser = AddEmbosser({}, L"main");
    ASSERT_FALSE(HasFailure());
    StartProgram(env.embeddedProgram);
    ASSERT_TRUE(dialog.Visible());

    // Embedded mode: the notice in place of the file controls, the printer chosen.
    EXPECT_TRUE(VisibleMessageBoxes(program.ProcessId()).empty());
    EXPECT_EQ(Printable(dialog.ControlText(IDC_FIRMWARE_NOTICE)),
              Printable(expected::kEmbeddedNotice));
    EXPECT_TRUE(dialog.ControlVisible(IDC_FIRMWARE_NOTICE));
    EXPECT_TRUE(dialog.ControlEnabled(IDC_FIRMWARE_NOTICE));
    for (int id : {IDC_BROWSE, IDC_FILE_PATH, IDC_OPEN_FILE_GROUP}) {
        EXPECT_FALSE(dialog.ControlVisible(id)) << "control " << id;
        EXPECT_FALSE(dialog.ControlEnabled(id)) << "control " << id;
    }
    EXPECT_EQ(Printable(dialog.ComboLines()),
              Printable(std::vector<std::wstring>{L"Dovrex Embosser on USB001"}));
    EXPECT_EQ(dialog.ComboSelection(), 0);
    EXPECT_EQ(dialog.ControlText(IDC_STATUS_LINE), L"");  // the template's "Static" replaced
    EXPECT_EQ(dialog.ProgressPos(), 0);

    StartRecording();
    ASSERT_TRUE(dialog.ClickButton(IDC_START_DOWNLOAD));
    ASSERT_TRUE(recorder->WaitForStatusLine(expected::kWriting, kWholeRunMs));
    Screenshot(L"embedded-run-mid-flash");

    const auto result = WaitForMessageBox(kWholeRunMs, nullptr);
    ASSERT_TRUE(result.has_value()) << "no result message";
    EXPECT_EQ(Printable(result->text), Printable(expected::kSuccess));
    EXPECT_EQ(Printable(result->caption), Printable(expected::kInfoCaption));
    EXPECT_EQ(result->owner, dialog.Window());
    // While the result is read: polling over, the bar full.
    EXPECT_EQ(Printable(dialog.ControlText(IDC_STATUS_LINE)), Printable(expected::kDone));
    EXPECT_EQ(dialog.ProgressPos(), 100);
    ASSERT_TRUE(Answer(*result));
    EXPECT_TRUE(recorder->WaitForBarPosition(0, kBoxCloseMs)) << "the bar stays full";
    recorder->Stop();

    EXPECT_EQ(Printable(recorder->StatusLines()), Printable(SuccessfulRunStatusLines()));
    EXPECT_TRUE(IsSuccessfulRunBar(recorder->BarPositions()));

    // The embosser got the service-mode request, then the embedded image unchanged.
    EXPECT_TRUE(ReceivedServiceJobThenImage(embosser, SyntheticImage()));

    // The run is over: the status line stays, and Exit is no longer refused.
    EXPECT_EQ(Printable(dialog.ControlText(IDC_STATUS_LINE)), Printable(expected::kDone));
    ExpectExitEndsProgram();
}

}  // namespace
}  // namespace reflasher::e2e
