// Scenario 6: a device that never gets ready, and one that fails to write its
// flash: each run ends in its own message, and the bar goes back to 0.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "sim/EmbosserModel.h"
#include "tests/wine/e2e/RunChecks.h"
#include "tests/wine/e2e/ScenarioFixture.h"
#include "tests/wine/e2e/UserTexts.h"

namespace reflasher::e2e {
namespace {

using DeviceFault = ScenarioFixture;

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
    ASSERT_TRUE(recorder->WaitForStatusLine(texts::kNegotiating, kWholeRunMs));
    const auto timeout = WaitForMessageBox(kWholeRunMs);
    ASSERT_TRUE(timeout.has_value()) << "no timeout message";
    const long long waitedMs =
        static_cast<long long>(recorder->ElapsedMs()) - recorder->FirstSeenMs(texts::kNegotiating);
    EXPECT_GE(waitedMs, kNegotiationLimitMs - 1000);
    EXPECT_LE(waitedMs, kNegotiationLimitMs + 12000);
    std::printf("timeout message after %.1f s of negotiation\n",
                static_cast<double>(waitedMs) / 1000.0);
    EXPECT_EQ(Printable(timeout->text), Printable(texts::kTimeout));
    EXPECT_EQ(Printable(timeout->caption), Printable(texts::kInfo));
    ASSERT_TRUE(Answer(*timeout));
    EXPECT_TRUE(recorder->WaitForBarPosition(0, kBoxCloseMs));
    ExpectOnlyTheDialogFor(1000);
    recorder->Stop();

    // Only the service-mode request went out; the status line keeps the phase it stopped in.
    EXPECT_EQ(Printable(recorder->StatusLines()),
              Printable(std::vector<std::wstring>{L"", texts::kNegotiating}));
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
    EXPECT_EQ(Printable(result->text), Printable(texts::kWriteError));
    EXPECT_EQ(Printable(result->caption), Printable(texts::kInfo));
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

}  // namespace
}  // namespace reflasher::e2e
