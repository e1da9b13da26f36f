// What the dialog holds for a run, over two runs on one watch and one set of locks:
// let go while a call hangs, taken back when it returns while the embosser works,
// all of it gone when the work ends, and the lock kept when the program goes mid-hang.
#include "ui/RunHold.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/shared/ExpectedTexts.h"
#include "tests/unit/HoldParts.h"

namespace reflasher {
namespace {

struct Seen {
    bool locked, awake, sessionRefused, ticking, mayLeave;
    std::wstring box;
    bool operator==(const Seen& o) const {
        return locked == o.locked && awake == o.awake && sessionRefused == o.sessionRefused &&
               ticking == o.ticking && mayLeave == o.mayLeave && box == o.box;
    }
};
std::ostream& operator<<(std::ostream& out, const Seen& s) {
    return out << "lock " << s.locked << " awake " << s.awake << " refused " << s.sessionRefused
               << " ticking " << s.ticking << " may leave " << s.mayLeave << " box '"
               << std::string(s.box.begin(), s.box.end()).substr(0, 40) << "'";
}

TEST(RunHold, LetsGoAtAHangTakesBackAtItsReturnAndEndsWithTheWork) {
    HoldParts p;
    StuckCallWatch watch(p);
    RunHold hold({p, p, &watch, p, p, p});
    // The worker's side, as UpdateRun does it.
    const auto begin = [&] {
        EXPECT_TRUE(hold.BeginRun(L"USB001"));
        watch.RunStarted();
        p.KeepSystemAwake();
    };
    const auto hang = [&](std::uint64_t ms) {
        watch.CallStarted();
        p.now += ms;
        hold.Tick();
    };
    const auto workEnds = [&] {
        p.AllowSystemSleep();
        hold.Tick();  // a take-back can fall between the worker's two steps
        hold.DeviceWorkEnded();
    };
    const std::wstring none;
    const struct {
        const char* what;
        std::function<void()> act;
        Seen seen;
    } steps[] = {
        {"another copy holds the embosser", [&] { p.otherCopy = true; EXPECT_FALSE(hold.BeginRun(L"USB001")); p.otherCopy = false; },
         {false, false, false, false, false, none}},
        {"run 1 starts", begin, {true, true, true, true, false, none}},
        {"a call under a minute", [&] { hang(kStuckCallMs - 1); }, {true, true, true, true, false, none}},
        {"a minute", [&] { p.now += 1; hold.Tick(); }, {true, false, false, true, true, expected::kStuckBeforeFirmware}},
        {"it returns", [&] { watch.CallEnded(); hold.Tick(); }, {true, true, true, true, false, none}},
        {"a hang in the firmware job", [&] { watch.FirmwareJobStarting(); hang(kStuckCallMs); },
         {true, false, false, true, true, expected::kStuckAfterFirmware}},
        {"it returns", [&] { watch.CallEnded(); hold.Tick(); }, {true, true, true, true, false, none}},
        {"a hang while flashing", [&] { watch.ImageReleasing(); hang(kStuckCallMs); },
         {true, false, false, true, true, expected::kStuckWhileWriting}},
        {"it returns and the work ends", [&] { watch.CallEnded(); workEnds(); }, {false, false, false, false, false, none}},
        {"run 2 starts: nothing of run 1 told", [&] { begin(); hold.Tick(); }, {true, true, true, true, false, none}},
        {"a hang before the firmware", [&] { hang(kStuckCallMs); }, {true, false, false, true, true, expected::kStuckBeforeFirmware}},
        {"the program goes mid-hang", [&] { hold.ProcessEnding(); }, {true, false, false, false, false, none}},
        {"nothing is taken back", [&] { watch.CallEnded(); hold.Tick(); }, {true, false, false, false, false, none}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_EQ((Seen{p.locked, p.awake, hold.RefuseSessionEnd(), p.ticking, hold.MayLeaveMidRun(), p.box}),
                  step.seen);
    }
}

}  // namespace
}  // namespace reflasher
