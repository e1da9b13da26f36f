// The dialog's pictures as they reach the screen: the logo over the dialog's
// background with its cyan left out, and control 1010 showing frame 145 until the
// first run, the four frames in order every 500 ms during a run (also while the
// result box is open), and 148 after it; five runs in one process, with the
// program answering and the frames changing in each.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <numeric>

#include "resources/resource.h"
#include "tests/shared/ExpectedTexts.h"
#include "tests/wine/support/DialogFixture.h"
#include "tests/wine/support/Bitmaps.h"

namespace reflasher::visuals {
namespace {

using e2e::Printable;

constexpr std::uint32_t kCyan = 0x00FFFF;

// The frames change every 500 ms. Each picture is taken at an unknown moment
// within its request, and a loaded machine stretches the gaps between them, so
// the timing is judged by what the pictures prove: a fault is reported only when
// no moment the pictures allow fits the expected cycle.
constexpr double kShortestFrameMs = 250, kLongestFrameMs = 900;
constexpr double kMeanLowMs = 430, kMeanHighMs = 600;

// Changes go round the cycle in order; a frame between two pictures that show
// neither it nor its place is one skipped only if it had no time to be shown.
::testing::AssertionResult FramesInOrder(const FrameTimeline& timeline) {
    for (const FrameChange& change : timeline.Changes()) {
        const double window = change.beforeMs - change.afterMs;
        // A whole cycle could hide in a window this long: the order can't be told.
        if (window >= 4 * kShortestFrameMs) {
            return ::testing::AssertionFailure()
                   << "the pictures are too far apart to judge (" << window << " ms):\n"
                   << timeline.Describe();
        }
        if (window < (change.steps - 1) * kShortestFrameMs) {
            return ::testing::AssertionFailure() << "a frame was skipped:\n" << timeline.Describe();
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult CyclesEvery500Ms(const FrameTimeline& timeline, int minChanges) {
    const ::testing::AssertionResult inOrder = FramesInOrder(timeline);
    if (!inOrder) return inOrder;
    const std::vector<FrameChange> changes = timeline.Changes();
    int moved = 0;
    for (const FrameChange& change : changes) moved += change.steps;
    if (moved < minChanges) {
        return ::testing::AssertionFailure()
               << "the frames moved on " << moved << " times, not " << minChanges << ":\n"
               << timeline.Describe();
    }
    // A frame seen coming and going lasted between these bounds.
    for (std::size_t i = 1; i < changes.size(); ++i) {
        const double longest = changes[i].beforeMs - changes[i - 1].afterMs;
        const double shortest = changes[i].afterMs - changes[i - 1].beforeMs;
        if (longest < kShortestFrameMs || shortest > kLongestFrameMs) {
            return ::testing::AssertionFailure()
                   << "a frame stayed between " << shortest << " and " << longest << " ms:\n"
                   << timeline.Describe();
        }
    }
    // The mean over every frame from the first change to the last.
    const int frames = moved - changes.front().steps;
    if (frames > 0) {
        const double lowest = (changes.back().afterMs - changes.front().beforeMs) / frames;
        const double highest = (changes.back().beforeMs - changes.front().afterMs) / frames;
        if (highest < kMeanLowMs || lowest > kMeanHighMs) {
            return ::testing::AssertionFailure() << "frames stayed between " << lowest << " and "
                                                 << highest << " ms on average:\n"
                                                 << timeline.Describe();
        }
    }
    return ::testing::AssertionSuccess();
}

void Report(const char* what, const FrameTimeline& timeline) {
    const std::vector<double> lengths = timeline.InnerSegmentMs();
    double mean = 0, low = 0, high = 0;
    if (!lengths.empty()) {
        mean = std::accumulate(lengths.begin(), lengths.end(), 0.0) / lengths.size();
        low = *std::min_element(lengths.begin(), lengths.end());
        high = *std::max_element(lengths.begin(), lengths.end());
    }
    std::printf("%s: %zu frame changes timed, mean %.0f ms, min %.0f, max %.0f\n%s", what,
                lengths.size(), mean, low, high, timeline.Describe().c_str());
    std::fflush(stdout);
}

// The last frame shown is 148, and it stays for at least `ms`.
::testing::AssertionResult EndsOn148For(const FrameTimeline& timeline, double ms) {
    if (timeline.segments.empty() || timeline.segments.back().frame != 3 ||
        !FramesInOrder(timeline) ||
        timeline.segments.back().lastSeenMs - timeline.segments.back().firstSeenMs < ms) {
        return ::testing::AssertionFailure() << "not ending on 148 for " << ms << " ms:\n"
                                             << timeline.Describe();
    }
    return ::testing::AssertionSuccess();
}

using BusyPicture = e2e::DialogFixture;

TEST_F(BusyPicture, LogoThenFramesBeforeDuringAndAfterFiveRuns) {
    // Short flash phases: five runs are to fit in a minute or two.
    e2e::EmbosserSetup quick;
    quick.bridgeArguments = {L"--erase-ticks", L"3", L"--write-ticks", L"6"};
    AddEmbosser(quick, L"a");
    ASSERT_FALSE(HasFailure());
    StartProgram(env.embeddedProgram);
    ASSERT_TRUE(dialog.Visible());

    // Before any run: 145, unchanging.
    const FrameTimeline idle = WatchBusyPicture(L"idle", 1500);
    EXPECT_EQ(idle.FramesShown(), std::vector<int>{145}) << idle.Describe();
    EXPECT_EQ(idle.unmatched, 0) << idle.Describe();

    // The logo: at 1015's top-left, natural size, the dialog's background where it is cyan.
    const RgbImage logo = CommittedPicture(L"logo.bmp");
    ASSERT_EQ(logo.width, 96);
    ASSERT_EQ(logo.height, 69);
    const RECT client = ClientAreaOnScreen(dialog.Window());
    const RECT logoArea = ControlArea(IDC_LOGO);
    const std::vector<ScreenCrop> shot = host->Crops(L"dialog", client, 0);
    ASSERT_EQ(shot.size(), 1u);
    Screenshot(L"idle");
    const RgbImage& screen = shot[0].image;
    const std::uint32_t background = screen.At(2, 2);  // clear of every control
    ASSERT_NE(background, kCyan);
    const int left = logoArea.left - client.left;
    const int top = logoArea.top - client.top;
    const int width = logoArea.right - logoArea.left;
    const int height = logoArea.bottom - logoArea.top;
    int drawn = 0, keyed = 0, wrong = 0, cyanOnScreen = 0, outsideNotBackground = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t seen = screen.At(left + x, top + y);
            cyanOnScreen += seen == kCyan;
            if (x >= logo.width || y >= logo.height) {
                outsideNotBackground += seen != background;
                continue;
            }
            const bool transparent = logo.At(x, y) == kCyan;
            (transparent ? keyed : drawn) += 1;
            wrong += seen != (transparent ? background : logo.At(x, y));
        }
    }
    std::printf(
        "logo: control %d x %d at (%d, %d) in the client area; %d pixels drawn, %d keyed out, "
        "%d wrong; background %06X\n",
        width, height, left, top, drawn, keyed, wrong, background);
    EXPECT_GT(drawn, 1000);
    EXPECT_GT(keyed, 100);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(cyanOnScreen, 0);
    EXPECT_EQ(outsideNotBackground, 0) << "the logo is not at its natural size";
    // 145 is in the same picture, at 1010's top-left.
    const RECT busyArea = ControlArea(IDC_BUSY_PICTURE);
    EXPECT_EQ(
        DifferingPixels(screen.Part(busyArea.left - client.left, busyArea.top - client.top, 53, 71),
                        frames[0]),
        0);

    for (int run = 1; run <= 5; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        const std::wstring tag = std::to_wstring(run);
        const unsigned watchMs = run == 1 ? 7000 : 2500;
        StartWatchingBusyPicture(L"run-" + tag, watchMs);
        ASSERT_TRUE(dialog.ClickButton(IDC_START_DOWNLOAD));
        const FrameTimeline during = FinishWatchingBusyPicture(L"run-" + tag, watchMs);
        EXPECT_TRUE(CyclesEvery500Ms(during, run == 1 ? 9 : 3));
        if (run == 1) Report("first run", during);

        // Still answering while it animates.
        const ULONGLONG asked = GetTickCount64();
        bool answered = false;
        e2e::SendWithTimeout(dialog.Window(), WM_NULL, 0, 0, &answered);
        const ULONGLONG tookMs = GetTickCount64() - asked;
        EXPECT_TRUE(answered);
        EXPECT_LT(tookMs, 1000u) << "the dialog answered slowly";
        std::printf("run %d: the dialog answered in %llu ms; %zu frame changes seen in %u ms\n",
                    run, tookMs, during.segments.size() - 1, watchMs);

        const std::wstring success = expected::kSuccess;
        const std::optional<e2e::MessageBoxSeen> box =
            WaitForMessageBox(e2e::kWholeRunMs, &success);
        ASSERT_TRUE(box.has_value()) << "the run did not end in success";
        if (run == 1) {
            // The flag stays set until the box is closed, and the animation goes on.
            // The box opens over the dialog's middle: moved aside so 1010 can be seen.
            SetWindowPos(box->window, nullptr, 0, 0, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            RECT boxArea{}, overlap{};
            GetWindowRect(box->window, &boxArea);
            const RECT busyArea = ControlArea(IDC_BUSY_PICTURE);
            EXPECT_FALSE(IntersectRect(&overlap, &boxArea, &busyArea))
                << "the box still hides control 1010";
            const FrameTimeline withBox = WatchBusyPicture(L"box-" + tag, 2500);
            EXPECT_TRUE(CyclesEvery500Ms(withBox, 3));
            Report("with the result box open", withBox);
        }
        ASSERT_TRUE(Answer(*box));
        if (run == 1 || run == 5) {
            // The cycle under way runs out (up to 2 s), then 148 stays.
            const FrameTimeline after = WatchBusyPicture(L"after-" + tag, 4500);
            EXPECT_TRUE(EndsOn148For(after, 2000));
            Report(run == 1 ? "after the first run" : "after the fifth run", after);
            if (run == 5) Screenshot(L"after-five-runs");
        } else {
            Sleep(2500);
        }
    }
    ExpectExitEndsProgram();
}

}  // namespace
}  // namespace reflasher::visuals
