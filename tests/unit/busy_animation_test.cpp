// The busy animation against a virtual clock: which frame is shown when, as a
// function of the busy flag over time; and its bitmaps, counted, staying level
// however many cycles and runs go by, with a control that hands back what it held
// or copies of what it was given.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "tests/unit/CountingGdi.h"
#include "ui/BusyAnimationLoop.h"

namespace reflasher::fakes {
namespace {

// Busy from `from` (inclusive) to `to` (exclusive), in virtual milliseconds.
struct Interval {
    std::uint64_t from, to;
};

// Virtual time: each wait moves it on, sets the flag as the intervals say, and
// asks the loop to stop once `endMs` is reached.
class VirtualTimer : public AnimationTimer {
public:
    VirtualTimer(std::atomic<bool>& busy, std::vector<Interval> runs, std::uint64_t endMs)
        : busy_(busy), runs_(std::move(runs)), endMs_(endMs) {
        Apply();
    }
    bool Wait(std::uint32_t milliseconds) override {
        waits.push_back(milliseconds);
        now += milliseconds;
        Apply();
        return now < endMs_;
    }
    std::uint64_t now = 0;
    std::vector<std::uint32_t> waits;

private:
    void Apply() {
        bool on = false;
        for (const Interval& run : runs_) on = on || (now >= run.from && now < run.to);
        busy_ = on;
    }
    std::atomic<bool>& busy_;
    std::vector<Interval> runs_;
    std::uint64_t endMs_;
};

// Records when each frame was put up.
class TimedPicture : public PictureControl {
public:
    TimedPicture(CountingGdi& gdi, const VirtualTimer*& timer) : gdi_(gdi), timer_(timer) {}
    GdiBitmap SetImage(GdiBitmap bitmap) override {
        if (bitmap) shows.push_back({timer_->now, gdi_.ResourceIdOf(bitmap)});
        return std::exchange(held_, bitmap);
    }
    std::vector<std::pair<std::uint64_t, int>> shows;  // (ms, bitmap id)

private:
    CountingGdi& gdi_;
    const VirtualTimer*& timer_;
    GdiBitmap held_;
};

using Shows = std::vector<std::pair<std::uint64_t, int>>;

Shows Cycle(std::uint64_t start) {
    return {{start, 145}, {start + 500, 146}, {start + 1000, 147}, {start + 1500, 148}};
}
Shows Join(std::initializer_list<Shows> parts) {
    Shows all;
    for (const Shows& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

struct ScheduleCase {
    const char* name;
    std::vector<Interval> runs;
    std::uint64_t endMs;
    Shows expected;
};

void PrintTo(const ScheduleCase& c, std::ostream* out) { *out << c.name; }

class BusyAnimationSchedule : public ::testing::TestWithParam<ScheduleCase> {};

TEST_P(BusyAnimationSchedule, FramesFollowTheFlagAsSeenAtEachCycleStart) {
    const ScheduleCase& c = GetParam();
    std::atomic<bool> busy{false};
    CountingGdi gdi;
    const VirtualTimer* clock = nullptr;
    TimedPicture picture(gdi, clock);
    VirtualTimer timer(busy, c.runs, c.endMs);
    clock = &timer;
    {
        BusyFrames frames(gdi, picture);
        RunBusyAnimation(busy, frames, timer);
    }
    EXPECT_EQ(picture.shows, c.expected);
    for (std::uint32_t wait : timer.waits) EXPECT_EQ(wait, 500u);
    EXPECT_GE(timer.now, c.endMs);
    EXPECT_EQ(gdi.LiveBitmaps(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BusyAnimationSchedule,
    ::testing::Values(
        ScheduleCase{"NoRunNoChange", {}, 10000, {}},
        // Polled every 500 ms: a run from 0 is seen at once and cycles back to back.
        ScheduleCase{"RunFromStart", {{0, 4000}}, 6000, Join({Cycle(0), Cycle(2000)})},
        // Seen at the next poll, at most 500 ms late.
        ScheduleCase{"RunSeenAtNextPoll", {{250, 2600}}, 6000, Join({Cycle(500), Cycle(2500)})},
        // Ended just after a cycle began: that cycle still runs through to 148.
        ScheduleCase{
            "CycleFinishesAfterTheRunEnds", {{0, 2100}}, 8000, Join({Cycle(0), Cycle(2000)})},
        // Ended during the first cycle: it finishes, and no other begins.
        ScheduleCase{"RunShorterThanACycle", {{0, 600}}, 8000, Cycle(0)},
        // Begun and ended between two polls: nothing changes.
        ScheduleCase{"RunBetweenPolls", {{600, 900}}, 8000, {}},
        // The next run starts again at 145.
        ScheduleCase{"TwoRuns", {{0, 1000}, {5000, 6000}}, 10000, Join({Cycle(0), Cycle(5000)})}),
    [](const ::testing::TestParamInfo<ScheduleCase>& info) { return info.param.name; });

TEST(BusyAnimation, StopsAtOnceWhenTheTimerSaysSo) {
    std::atomic<bool> busy{false};
    CountingGdi gdi;
    const VirtualTimer* clock = nullptr;
    TimedPicture picture(gdi, clock);
    VirtualTimer timer(busy, {{0, 100000}}, 1200);  // stop requested mid-cycle
    clock = &timer;
    BusyFrames frames(gdi, picture);
    RunBusyAnimation(busy, frames, timer);
    EXPECT_EQ(picture.shows, (Shows{{0, 145}, {500, 146}, {1000, 147}}));
}

// A frame that couldn't be loaded is left out; the others keep their times.
TEST(BusyAnimation, AFrameThatDidNotLoadIsSkipped) {
    CountingGdi gdi;
    FakeStaticPicture picture(gdi, false);
    gdi.failLoad = true;
    BusyFrames frames(gdi, picture);
    EXPECT_FALSE(frames.Loaded(0));
    frames.Show(0);
    EXPECT_TRUE(picture.shown.empty());
    EXPECT_EQ(gdi.ResourceIdOf(picture.Held()), 145);  // the template's picture stays
    EXPECT_TRUE(gdi.Misuses().empty());
}

// At another scale the template's 96-dpi picture is replaced at once; when the
// window moves to a monitor of another scale, or high contrast comes or goes, the
// frame on show is replaced by its version for the new look, idle or mid-run, and
// nothing is leaked or freed early.
TEST(BusyAnimation, TheFramesFollowTheWindowsDpiAndHighContrast) {
    CountingGdi gdi;
    PictureLook look;
    look.SetDpi(144);
    const PictureInk dark{0xFFFFFF, 0x000000};
    {
        FakeStaticPicture picture(gdi, false);
        {
            BusyFrames frames(gdi, picture, &look);
            EXPECT_EQ(picture.shown, (std::vector<int>{311}));  // the 150% set's first frame
            frames.Show(2);
            look.SetDpi(192);
            frames.FollowLook();  // as the idle loop does
            EXPECT_EQ(picture.shown, (std::vector<int>{311, 313, 333}));
            look.SetDpi(110);  // between sets: the 125% set, scaled
            frames.Show(3);
            EXPECT_EQ(picture.shown.back(), 304);
            EXPECT_EQ(gdi.scales.size(), 4u);
            EXPECT_EQ(frames.LoadedDpi(), 110);
            frames.FollowLook();  // unchanged: nothing reloaded
            EXPECT_EQ(gdi.scales.size(), 4u);
            EXPECT_EQ(gdi.LiveBitmaps(), 4u);  // one set alive; the template's went
            // High contrast on: the frame on show in the theme's colours; off: in its own.
            look.SetInk(dark);
            frames.FollowLook();
            EXPECT_EQ(picture.shown.back(), 304);
            EXPECT_EQ(gdi.InkOf(picture.Held()), dark);
            EXPECT_EQ(gdi.inks.size(), 4u);
            look.SetInk(std::nullopt);
            frames.FollowLook();
            EXPECT_EQ(gdi.InkOf(picture.Held()), std::nullopt);
            EXPECT_EQ(gdi.LiveBitmaps(), 4u);
            EXPECT_TRUE(picture.misuses.empty());
        }
        EXPECT_FALSE(picture.Held());
        // At 96 dpi under high contrast the template's picture goes at once too.
        look.SetDpi(96);
        look.SetInk(PictureInk{0x000000, 0xFFFFFF});
        BusyFrames frames(gdi, picture, &look);
        EXPECT_EQ(gdi.InkOf(picture.Held()), (PictureInk{0x000000, 0xFFFFFF}));
        EXPECT_EQ(gdi.ResourceIdOf(picture.Held()), 145);
    }
    EXPECT_EQ(gdi.LiveBitmaps(), 0u);
    EXPECT_TRUE(gdi.Misuses().empty()) << gdi.Misuses().front();
}

// Counting bitmaps, DCs and selections over 1 and 100 cycles or runs.
struct Counts {
    std::size_t bitmaps, dcs, selected;
    friend bool operator==(const Counts& a, const Counts& b) {
        return a.bitmaps == b.bitmaps && a.dcs == b.dcs && a.selected == b.selected;
    }
};
std::ostream& operator<<(std::ostream& out, const Counts& c) {
    return out << c.bitmaps << " bitmaps, " << c.dcs << " DCs, " << c.selected << " selected";
}
Counts CountsOf(const CountingGdi& gdi) {
    return {gdi.LiveBitmaps(), gdi.LiveDcs(), gdi.SelectedObjects()};
}

// Counts while the animation lives, after `runs` runs of `cyclesPerRun` cycles each.
struct Balance {
    Counts during;
    Counts after;  // once the animation is gone
    std::vector<int> shown;
    std::vector<std::string> misuses;
};

Balance RunAndCount(bool controlKeepsCopies, int runs, int cyclesPerRun) {
    std::atomic<bool> busy{false};
    CountingGdi gdi;
    Balance balance{};
    {
        FakeStaticPicture picture(gdi, controlKeepsCopies);
        std::vector<Interval> schedule;
        std::uint64_t t = 0;
        for (int run = 0; run < runs; ++run) {
            schedule.push_back({t, t + 2000u * static_cast<std::uint64_t>(cyclesPerRun) - 1});
            t += 2000u * static_cast<std::uint64_t>(cyclesPerRun) + 1000;  // idle between runs
        }
        VirtualTimer timer(busy, schedule, t);
        {
            BusyFrames frames(gdi, picture);
            RunBusyAnimation(busy, frames, timer);
            balance.during = CountsOf(gdi);
        }
        balance.shown = picture.shown;
        balance.misuses = picture.misuses;
        // What the control holds now is the control's own business.
        if (picture.Held()) ADD_FAILURE() << "the animation left a picture in the control";
    }
    balance.after = CountsOf(gdi);
    for (const std::string& misuse : gdi.Misuses()) balance.misuses.push_back(misuse);
    return balance;
}

class BusyAnimationBalance : public ::testing::TestWithParam<bool> {};

TEST_P(BusyAnimationBalance, OneAndAHundredCyclesLeaveTheSameCounts) {
    const Balance one = RunAndCount(GetParam(), 1, 1);
    const Balance hundred = RunAndCount(GetParam(), 1, 100);
    EXPECT_EQ(one.misuses, std::vector<std::string>());
    EXPECT_EQ(hundred.misuses, std::vector<std::string>());
    EXPECT_EQ(one.during, hundred.during);
    // The four frames, plus the copy the control may keep of the one it shows.
    EXPECT_EQ(hundred.during, (Counts{GetParam() ? 5u : 4u, 0, 0}));
    EXPECT_EQ(hundred.after, (Counts{0, 0, 0}));
    EXPECT_EQ(hundred.shown.size(), 400u);
}

TEST_P(BusyAnimationBalance, OneAndAHundredRunsLeaveTheSameCounts) {
    const Balance one = RunAndCount(GetParam(), 1, 2);
    const Balance hundred = RunAndCount(GetParam(), 100, 2);
    EXPECT_EQ(hundred.misuses, std::vector<std::string>());
    EXPECT_EQ(one.during, hundred.during);
    EXPECT_EQ(one.after, hundred.after);
    EXPECT_EQ(hundred.after, (Counts{0, 0, 0}));
    ASSERT_EQ(hundred.shown.size(), 800u);
    for (std::size_t i = 0; i < hundred.shown.size(); ++i) {
        EXPECT_EQ(hundred.shown[i], static_cast<int>(145 + i % 4)) << "show " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Control, BusyAnimationBalance, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "KeepsCopies" : "HandsBackWhatItHeld";
                         });

}  // namespace
}  // namespace reflasher::fakes
