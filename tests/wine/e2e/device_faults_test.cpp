// Scenario 6: a device that never gets ready, and one that fails to write its
// flash: each run ends in its own message, and the bar goes back to 0. The run
// that timed out has let go of the embosser before it says so: the session may
// end while its message is up. And a print queue that can't deliver, set to work
// offline and then paused, as Wine's spooler reads both from the printer's
// registry values: Start is refused with nothing sent until the queue is back.
// And a port that takes the service-mode job and then stops reading: Wine's
// EndDocPrinter waits for it, and a minute later the program says so and may close;
// when the port reads again, the program holds everything again and the run ends.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "sim/EmbosserModel.h"
#include "sim/win32/wine/WinePrinters.h"
#include "tests/wine/support/RunChecks.h"
#include "tests/wine/support/DialogFixture.h"
#include "tests/shared/ExpectedTexts.h"

namespace reflasher::e2e {
namespace {

using DeviceFault = DialogFixture;

// 50 queries 800 ms apart, plus the time the queries take.
constexpr long long kNegotiationLimitMs = 40000;

TEST_F(DeviceFault, NeverReadyTimesOutAfterAboutFortySeconds) {
    EmbosserSetup setup;
    setup.behaviour = L"never-ready";
    SimulatedEmbosser& embosser = AddEmbosser(setup, L"never-ready");
    ASSERT_FALSE(HasFailure());
    StartProgram(env.embeddedProgram);
    ASSERT_TRUE(dialog.Visible());

    StartRecording();
    ASSERT_TRUE(dialog.ClickButton(IDC_START_DOWNLOAD));
    ASSERT_TRUE(recorder->WaitForStatusLine(expected::kNegotiating, kWholeRunMs));
    EXPECT_EQ(dialog.QueryEndSession(), FALSE) << "the session may end mid-negotiation";
    const auto timeout = WaitForMessageBox(kWholeRunMs);
    ASSERT_TRUE(timeout.has_value()) << "no timeout message";
    EXPECT_EQ(dialog.QueryEndSession(), TRUE) << "the timeout message holds the session";
    const long long waitedMs =
        static_cast<long long>(recorder->ElapsedMs()) - recorder->FirstSeenMs(expected::kNegotiating);
    EXPECT_GE(waitedMs, kNegotiationLimitMs - 1000);
    EXPECT_LE(waitedMs, kNegotiationLimitMs + 12000);
    std::printf("timeout message after %.1f s of negotiation\n",
                static_cast<double>(waitedMs) / 1000.0);
    EXPECT_EQ(Printable(timeout->text), Printable(expected::kNeverReady));
    EXPECT_EQ(Printable(timeout->caption), Printable(expected::kInfoCaption));
    ASSERT_TRUE(Answer(*timeout));
    EXPECT_TRUE(recorder->WaitForBarPosition(0, kBoxCloseMs));
    ExpectOnlyTheDialogFor(1000);
    recorder->Stop();

    // Only the service-mode request went out; the status line keeps the phase it stopped in.
    EXPECT_EQ(Printable(recorder->StatusLines()),
              Printable(std::vector<std::wstring>{L"", expected::kNegotiating}));
    EXPECT_EQ(Printable(recorder->BarPositions()), Printable(std::vector<int>{0, 10, 0}));
    EXPECT_EQ(embosser.JobCount(), 1);
    EXPECT_FALSE(embosser.FirmwareReceived().has_value());
    ExpectExitEndsProgram();
}

TEST_F(DeviceFault, WriteErrorEndsTheRunWithItsMessage) {
    EmbosserSetup setup;
    setup.behaviour = L"write-error";
    setup.bridgeArguments = {L"--fault-after", L"10"};  // 4 s into writing
    SimulatedEmbosser& embosser = AddEmbosser(setup, L"write-error");
    ASSERT_FALSE(HasFailure());
    StartProgram(env.embeddedProgram);
    ASSERT_TRUE(dialog.Visible());

    StartRecording();
    ASSERT_TRUE(dialog.ClickButton(IDC_START_DOWNLOAD));
    const auto result = WaitForMessageBox(kWholeRunMs);
    ASSERT_TRUE(result.has_value()) << "no result message";
    EXPECT_EQ(Printable(result->text), Printable(expected::kWriteError));
    EXPECT_EQ(Printable(result->caption), Printable(expected::kInfoCaption));
    EXPECT_EQ(dialog.ProgressPos(), 100);
    ASSERT_TRUE(Answer(*result));
    EXPECT_TRUE(recorder->WaitForBarPosition(0, kBoxCloseMs));
    recorder->Stop();

    // The run went through every phase: the device reported its fault while writing.
    EXPECT_EQ(Printable(recorder->StatusLines()), Printable(SuccessfulRunStatusLines()));
    const std::vector<int> bar = recorder->BarPositions();
    ASSERT_GE(bar.size(), 3u);
    EXPECT_EQ(bar[bar.size() - 2], 100);
    EXPECT_EQ(bar.back(), 0);
    EXPECT_EQ(embosser.JobCount(), 2);
    EXPECT_TRUE(embosser.FirmwareReceived() == SyntheticImage());
    ExpectExitEndsProgram();
}

TEST_F(DeviceFault, AnOfflineThenPausedQueueRefusesStartUntilItIsBack) {
    SimulatedEmbosser& embosser = AddEmbosser({}, L"main");
    ASSERT_FALSE(HasFailure());
    const std::wstring& queue = embosser.Printer().name;
    StartProgram(env.embeddedProgram);
    ASSERT_TRUE(dialog.Visible());
    StartRecording();

    // Windows sets a USB printer's queue to work offline when the device goes away
    // (PRINTER_ATTRIBUTE_WORK_OFFLINE beside the local printer's 0x40); a user may
    // pause it (PRINTER_STATUS_PAUSED). The program looks at Start, not at its start.
    const struct {
        const char* what;
        unsigned long attributes;
        unsigned long status;
        const wchar_t* message;
    } refusals[] = {
        {"set to work offline", 0x440, 0, expected::kQueueOffline},
        {"paused", 0x40, 0x1, expected::kQueuePaused},
    };
    for (const auto& refusal : refusals) {
        SCOPED_TRACE(refusal.what);
        ASSERT_TRUE(wineprefix::SetQueueAttributes(queue, refusal.attributes));
        ASSERT_TRUE(wineprefix::SetQueueStatus(queue, refusal.status));
        ASSERT_TRUE(dialog.ClickButton(IDC_START_DOWNLOAD));
        const std::wstring text = refusal.message;
        const auto box = WaitForMessageBox(kWholeRunMs, &text);
        ASSERT_TRUE(box.has_value()) << "no refusal (the recorder's timeline shows what came)";
        EXPECT_EQ(Printable(box->caption), Printable(expected::kErrorCaption));
        EXPECT_EQ(box->owner, dialog.Window());
        // Nothing is held for the embosser while the user reads why.
        EXPECT_EQ(dialog.QueryEndSession(), TRUE) << "the refusal holds the session";
        ASSERT_TRUE(Answer(*box));
        ExpectOnlyTheDialogFor(kNothingHappensMs);
        EXPECT_EQ(embosser.JobCount(), 0) << "a refused Start sent a job";
        EXPECT_EQ(dialog.ProgressPos(), 0);
        EXPECT_EQ(dialog.ControlText(IDC_STATUS_LINE), L"");
    }

    // Resumed and online again: the next Start updates the embosser.
    ASSERT_TRUE(wineprefix::SetQueueAttributes(queue, 0x40));
    ASSERT_TRUE(wineprefix::SetQueueStatus(queue, 0));
    ASSERT_TRUE(dialog.ClickButton(IDC_START_DOWNLOAD));
    ExpectMessageAndAnswer(expected::kInfoCaption, expected::kSuccess, kWholeRunMs);
    EXPECT_TRUE(recorder->WaitForBarPosition(0, kBoxCloseMs));
    recorder->Stop();

    EXPECT_EQ(Printable(recorder->StatusLines()), Printable(SuccessfulRunStatusLines()));
    EXPECT_TRUE(IsSuccessfulRunBar(recorder->BarPositions()));
    EXPECT_TRUE(ReceivedServiceJobThenImage(embosser, SyntheticImage()));
    ExpectExitEndsProgram();
}

// Wine sends a job inside EndDocPrinter, so the firmware job's EndDocPrinter waits
// as long as the port doesn't read. After a minute the dialog's thread tells the
// user; from then on the session may end and Exit closes the program, with the
// worker still inside the call.
TEST_F(DeviceFault, APortThatStopsReadingIsToldAfterAMinuteAndTheProgramMayClose) {
    EmbosserSetup setup;
    setup.stallFromJob = 2;
    SimulatedEmbosser& embosser = AddEmbosser(setup, L"stalled");
    ASSERT_FALSE(HasFailure());
    StartProgram(env.embeddedProgram);
    ASSERT_TRUE(dialog.Visible());

    StartRecording();
    ASSERT_TRUE(dialog.ClickButton(IDC_START_DOWNLOAD));
    ASSERT_TRUE(recorder->WaitForStatusLine(expected::kNegotiating, kWholeRunMs));
    ASSERT_TRUE(embosser.Job(1, kWholeRunMs).has_value()) << "the service-mode job";
    EXPECT_EQ(dialog.QueryEndSession(), FALSE) << "the session may end mid-update";
    // Wine lists no jobs, so nothing is held: the image is taken as gone once the
    // firmware job has started, and the embosser as maybe writing it.
    const std::wstring text = expected::kStuckWhileWriting;
    const auto stuck = WaitForMessageBox(kWholeRunMs, &text);
    ASSERT_TRUE(stuck.has_value()) << "no word of the call that hangs";
    const long long waitedMs =
        static_cast<long long>(recorder->ElapsedMs()) - recorder->FirstSeenMs(expected::kNegotiating);
    std::printf("the hung call told %.1f s after negotiation began\n", static_cast<double>(waitedMs) / 1000.0);
    EXPECT_GE(waitedMs, 60000);
    EXPECT_EQ(Printable(stuck->caption), Printable(expected::kErrorCaption));
    EXPECT_EQ(dialog.QueryEndSession(), TRUE) << "the session still held after the message";
    ASSERT_TRUE(Answer(*stuck));
    recorder->Stop();
    EXPECT_EQ(embosser.JobCount(), 1) << "the firmware went through a port that doesn't read";
    ExpectExitEndsProgram();
}

// The same port reading again after more than a minute: the box goes by itself, the
// session's end and Exit are refused again while the embosser writes, and the run
// ends with its own message.
TEST_F(DeviceFault, APortThatReadsAgainAfterAMinuteIsHeldAgainAndTheRunEnds) {
    EmbosserSetup setup;
    setup.stallFromJob = 2;
    SimulatedEmbosser& embosser = AddEmbosser(setup, L"late");
    ASSERT_FALSE(HasFailure());
    StartProgram(env.embeddedProgram);
    ASSERT_TRUE(dialog.Visible());

    StartRecording();
    ASSERT_TRUE(dialog.ClickButton(IDC_START_DOWNLOAD));
    // Wine lists no jobs, so nothing is held: the image is taken as gone once the
    // firmware job has started, and the embosser as maybe writing it.
    const std::wstring text = expected::kStuckWhileWriting;
    const auto stuck = WaitForMessageBox(kWholeRunMs, &text);
    ASSERT_TRUE(stuck.has_value()) << "no word of the call that hangs";
    EXPECT_EQ(stuck->owner, dialog.Window());
    EXPECT_EQ(dialog.QueryEndSession(), TRUE) << "the session still held while the call hangs";
    embosser.ReleasePort();
    EXPECT_TRUE(WaitForWindowGone(stuck->window, kBoxCloseMs)) << "the box stayed up";
    EXPECT_EQ(dialog.QueryEndSession(), FALSE) << "the session may end while the embosser writes";
    ASSERT_TRUE(dialog.PostCommand(IDC_EXIT));
    ExpectMessageAndAnswer(expected::kErrorCaption, expected::kBusy, kBoxCloseMs);
    ExpectMessageAndAnswer(expected::kInfoCaption, expected::kSuccess, kWholeRunMs);
    recorder->Stop();
    EXPECT_EQ(Printable(recorder->StatusLines()), Printable(SuccessfulRunStatusLines()));
    EXPECT_TRUE(embosser.FirmwareReceived() == SyntheticImage());
    ExpectExitEndsProgram();
}

}  // namespace
}  // namespace reflasher::e2e
