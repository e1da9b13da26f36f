// Scenario 4: two embossers. The list opens on its prompt line, Start Download
// does nothing until a printer is chosen, and the run goes to the one chosen.
#include <gtest/gtest.h>

#include <algorithm>

#include "resources/resource.h"
#include "tests/wine/support/RunChecks.h"
#include "tests/wine/support/DialogFixture.h"
#include "tests/shared/ExpectedTexts.h"

namespace reflasher::e2e {
namespace {

using TwoPrinters = DialogFixture;

TEST_F(TwoPrinters, TheRunGoesToTheChosenPrinterOnly) {
    EmbosserSetup first;
    // Discovery folds the driver name's letter case.
    first.printer = {L"Dovrex Embosser A", L"USB001", L"QUILLMAR DOVREX"};
    EmbosserSetup second;
    second.printer = {L"Dovrex Embosser B", L"USB002", L"Quillmar Dovrex"};
    SimulatedEmbosser& a = AddEmbosser(first, L"a");
    SimulatedEmbosser& b = AddEmbosser(second, L"b");
    ASSERT_FALSE(HasFailure());
    StartProgram(env.embeddedProgram);
    ASSERT_TRUE(dialog.Visible());
    EXPECT_TRUE(VisibleMessageBoxes(program.ProcessId()).empty());

    // The prompt first and selected, then both embossers in the spooler's order.
    const std::vector<std::wstring> lines = dialog.ComboLines();
    ASSERT_EQ(lines.size(), 3u) << Printable(lines);
    EXPECT_EQ(Printable(lines[0]), Printable(expected::kChoosePrinter));
    EXPECT_EQ(dialog.ComboSelection(), 0);
    const std::wstring lineOfB = L"Dovrex Embosser B on USB002";
    const auto found = std::find(lines.begin() + 1, lines.end(), lineOfB);
    ASSERT_NE(found, lines.end()) << Printable(lines);
    EXPECT_NE(std::find(lines.begin() + 1, lines.end(), L"Dovrex Embosser A on USB001"),
              lines.end())
        << Printable(lines);

    StartRecording();
    ASSERT_TRUE(dialog.ClickButton(IDC_START_DOWNLOAD));
    ExpectOnlyTheDialogFor(kNothingHappensMs);
    EXPECT_EQ(a.JobCount() + b.JobCount(), 0) << "a run started with no printer chosen";

    const int indexOfB = static_cast<int>(found - lines.begin());
    ASSERT_TRUE(dialog.ChooseComboLine(indexOfB));
    EXPECT_EQ(dialog.ComboSelection(), indexOfB);
    ASSERT_TRUE(dialog.ClickButton(IDC_START_DOWNLOAD));
    ExpectMessageAndAnswer(expected::kInfoCaption, expected::kSuccess, kWholeRunMs);
    EXPECT_TRUE(recorder->WaitForBarPosition(0, kBoxCloseMs));
    recorder->Stop();

    EXPECT_EQ(Printable(recorder->StatusLines()), Printable(SuccessfulRunStatusLines()));
    EXPECT_EQ(b.JobCount(), 2);
    EXPECT_TRUE(b.FirmwareReceived() == SyntheticImage());
    EXPECT_EQ(a.JobCount(), 0) << "the printer not chosen got jobs";
    ExpectExitEndsProgram();
}

}  // namespace
}  // namespace reflasher::e2e
