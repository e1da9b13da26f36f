// Scenario 2: no embosser installed (only printers that don't qualify): the
// warning comes before the dialog, and Start Download then does nothing.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/wine/support/RunChecks.h"
#include "tests/wine/support/DialogFixture.h"
#include "tests/shared/ExpectedTexts.h"
#include "tests/wine/support/Waiting.h"

namespace reflasher::e2e {
namespace {

using NoPrinter = DialogFixture;

TEST_F(NoPrinter, WarnsBeforeTheDialogAndStartDoesNothing) {
    // Another maker's printer on USB, and the embosser's driver on a parallel port.
    ASSERT_TRUE(wineprefix::InstallPrinter({L"Office Laser", L"USB003", L"Generic Laser"}));
    ASSERT_TRUE(wineprefix::InstallPrinter({L"Dovrex Parallel", L"LPT1:", L"Quillmar Dovrex"}));

    ASSERT_EQ(program.Start(env.embeddedProgram), "");
    const auto warning = WaitForMessageBox(kProgramStartMs);
    ASSERT_TRUE(warning.has_value()) << "no not-detected message";
    // The dialog exists while it initialises, but isn't on screen before the warning is closed.
    dialog = program.WaitForDialog(0);
    EXPECT_FALSE(dialog.Visible()) << "the dialog came before the warning";
    EXPECT_EQ(Printable(warning->text), Printable(expected::kNotDetected));
    EXPECT_EQ(Printable(warning->caption), Printable(expected::kErrorCaption));
    EXPECT_TRUE(dialog.Exists() && warning->owner == dialog.Window())
        << "the warning is not the dialog's";
    ASSERT_TRUE(Answer(*warning));

    dialog = program.WaitForVisibleDialog(kProgramStartMs);
    ASSERT_TRUE(dialog.Visible());
    EXPECT_EQ(Printable(dialog.ComboLines()),
              Printable(std::vector<std::wstring>{expected::kNoPrinters}));
    EXPECT_EQ(dialog.ComboSelection(), 0);
    // Still embedded mode: the notice is there.
    EXPECT_TRUE(dialog.ControlVisible(IDC_FIRMWARE_NOTICE));
    EXPECT_EQ(Printable(dialog.ControlText(IDC_FIRMWARE_NOTICE)),
              Printable(expected::kEmbeddedNotice));

    StartRecording();
    ASSERT_TRUE(dialog.ClickButton(IDC_START_DOWNLOAD));
    ExpectOnlyTheDialogFor(kNothingHappensMs);
    // Choosing the only line doesn't make it a printer either.
    ASSERT_TRUE(dialog.ChooseComboLine(0));
    ASSERT_TRUE(dialog.ClickButton(IDC_START_DOWNLOAD));
    ExpectOnlyTheDialogFor(kNothingHappensMs);
    recorder->Stop();
    EXPECT_EQ(Printable(recorder->StatusLines()), Printable(std::vector<std::wstring>{L""}));
    EXPECT_EQ(Printable(recorder->BarPositions()), Printable(std::vector<int>{0}));

    ExpectExitEndsProgram();
}

}  // namespace
}  // namespace reflasher::e2e
