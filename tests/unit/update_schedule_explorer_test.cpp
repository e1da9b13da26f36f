// Whole update runs under seeded random schedules of faults: spooler calls that
// fail, come short or hang for over a minute, another program's document arriving at
// any call, the job list failing, an embosser slow at any pace or failing, every
// queue mode, and a user who retries on the same services. After each run, what must
// always hold is checked: what reached the embosser, what the user was told while it
// worked, what the dialog held for the embosser's sake, and what the run left in
// the queue.
//
// REFLASHER_EXPLORE_SCHEDULES=n runs n schedules (default 1500);
// REFLASHER_EXPLORE_SEED=s runs schedule s alone, as a failure names it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "sim/EmbosserModel.h"
#include "tests/unit/HoldParts.h"
#include "tests/unit/UpdateHarness.h"

namespace reflasher::fakes {
namespace {

using sim::SpoolerOp;

// The calls an update run makes, the ones a schedule may strike.
constexpr SpoolerOp kRunOps[] = {
    SpoolerOp::Open,          SpoolerOp::PrinterRecordSize, SpoolerOp::ReadPort,
    SpoolerOp::ReadDriverData, SpoolerOp::BeginDocument,    SpoolerOp::BeginPage,
    SpoolerOp::Write,         SpoolerOp::EndPage,           SpoolerOp::EndDocument,
    SpoolerOp::GetQueueState, SpoolerOp::ListQueuedJobs,    SpoolerOp::DeleteJob,
    SpoolerOp::AbortDocument, SpoolerOp::PauseJob,          SpoolerOp::ResumeJob,
    SpoolerOp::Close,
};

const std::vector<unsigned char> kLetter = {'H', 'i'};  // another program's document

struct Strike {
    SpoolerOp op;
    int nth;
    std::string Name() const { return std::string(sim::SpoolerOpName(op)) + "#" + std::to_string(nth); }
};


// One run's faults, drawn from a seed.
struct RunSchedule {
    sim::EmbosserScript script;
    std::vector<Strike> failures;
    std::vector<int> listFailures;  // the nth job lists that fail
    std::uint32_t writeLimit = 0;   // 0: writes are taken whole
    std::vector<Strike> hangs;      // calls that take over a minute, then return
    struct Letter {
        Strike at;
        bool ahead;     // of the jobs waiting, else last
        bool complete;  // or still being written until the run is over
    };
    std::vector<Letter> letters;  // another program's document arrives at the call
};

struct Schedule {
    sim::DeliveryMode mode = sim::DeliveryMode::WhileSpooling;
    bool directPauseAccepted = false;
    bool keepPrinted = false;
    bool embedded = true;
    std::vector<RunSchedule> runs;
    std::string description;
};

Strike AnyStrike(std::mt19937& rng) {
    const SpoolerOp op = kRunOps[rng() % (sizeof kRunOps / sizeof kRunOps[0])];
    // Status queries are many; most other calls come a few times per run.
    const int nth = op == SpoolerOp::ReadDriverData ? 1 + static_cast<int>(rng() % 40)
                                                     : 1 + static_cast<int>(rng() % 4);
    return {op, nth};
}

Schedule Draw(std::uint32_t seed) {
    std::mt19937 rng(seed);
    const auto chance = [&](int percent) { return static_cast<int>(rng() % 100) < percent; };
    Schedule s;
    s.mode = static_cast<sim::DeliveryMode>(rng() % 3);
    s.directPauseAccepted = chance(50);
    s.keepPrinted = chance(40);
    s.embedded = chance(50);
    std::ostringstream text;
    text << "mode " << static_cast<int>(s.mode) << (s.directPauseAccepted ? " pause-accepted" : "")
         << (s.keepPrinted ? " keep-printed" : "") << (s.embedded ? " embedded" : " file");
    const int runs = chance(25) ? 2 + static_cast<int>(rng() % 2) : 1;
    for (int r = 0; r < runs; ++r) {
        RunSchedule run;
        run.script.pollsBeforeReady = static_cast<int>(rng() % 4);
        run.script.erasePolls = chance(20) ? static_cast<int>(rng() % 48) : static_cast<int>(rng() % 4);
        run.script.writePolls = 1 + static_cast<int>(rng() % (chance(10) ? 99 : 12));
        run.script.pollsPerWriteStep = chance(20) ? 1 + static_cast<int>(rng() % 49) : 1;
        if (chance(25)) {
            run.script.fault = static_cast<sim::EmbosserFault>(1 + rng() % 6);
            run.script.faultAfterWritePolls = static_cast<int>(rng() % (run.script.writePolls + 1));
        }
        if (chance(30)) run.failures.push_back(AnyStrike(rng));
        if (chance(30)) run.listFailures.push_back(1 + static_cast<int>(rng() % 6));
        if (chance(10)) run.writeLimit = 1 + static_cast<std::uint32_t>(rng() % 400);
        // A user who retries meets a hang in every run, now and then at the run's last call.
        if (runs > 1 || chance(20)) run.hangs.push_back(chance(25) ? Strike{SpoolerOp::Close, 2} : AnyStrike(rng));
        if (chance(45)) run.letters.push_back({AnyStrike(rng), chance(30), chance(70)});
        text << " | run " << r + 1 << ": ready " << run.script.pollsBeforeReady << " erase "
             << run.script.erasePolls << " write " << run.script.writePolls << "x"
             << run.script.pollsPerWriteStep << " fault " << static_cast<int>(run.script.fault) << "@"
             << run.script.faultAfterWritePolls;
        for (const Strike& f : run.failures) text << " fail " << f.Name();
        for (int n : run.listFailures) text << " list-fails #" << n;
        if (run.writeLimit != 0) text << " writes-take " << run.writeLimit;
        for (const Strike& h : run.hangs) text << " hang " << h.Name();
        for (const auto& l : run.letters) {
            text << " letter " << (l.ahead ? "ahead " : "") << (l.complete ? "" : "unended ") << l.at.Name();
        }
        s.runs.push_back(run);
    }
    s.description = text.str();
    return s;
}

std::wstring Flat(std::wstring text) {
    std::replace(text.begin(), text.end(), L'\n', L' ');
    return text;
}
bool AdvisesSwitchingOff(const std::wstring& text) { return Flat(text).find(L"off and on") != std::wstring::npos; }
bool SaysNothingWent(const std::wstring& text) {
    const std::wstring flat = Flat(text);
    return flat.find(L"not sent") != flat.npos || flat.find(L"othing was sent") != flat.npos ||
           flat.find(L"No firmware was sent") != flat.npos;
}
bool Working(sim::EmbosserPhase phase) {
    return phase == sim::EmbosserPhase::Erasing || phase == sim::EmbosserPhase::Writing;
}
// A non-empty start of the image, or the whole of it.
bool IsImagePart(const std::vector<unsigned char>& job, const std::vector<unsigned char>& image) {
    return !job.empty() && job.size() <= image.size() && std::equal(job.begin(), job.end(), image.begin());
}

// Runs every run of the schedule on one set of services; returns what broke.
std::vector<std::string> Explore(const Schedule& schedule) {
    std::vector<std::string> broken;
    const auto check = [&](bool holds, const std::string& what) {
        if (!holds) broken.push_back(what);
    };
    sim::EmbosserModel model;
    // One set of what the dialog holds for its runs, as the user retries.
    HoldParts parts;
    StuckCallWatch watch(parts);
    RunHold hold({parts, parts, &watch, parts, parts, parts});
    for (std::size_t r = 0; r < schedule.runs.size(); ++r) {
        const RunSchedule& plan = schedule.runs[r];
        const std::string run = "run " + std::to_string(r + 1) + ": ";
        // The user retries as told: the embosser switched off and on.
        model.PowerCycle();
        model.SetScript(plan.script);
        UpdateHarness h;
        h.spooler.AddPrinter(Embosser(), &model);
        h.spooler.SetDeliveryMode(L"Dovrex", schedule.mode);
        h.spooler.AcceptPauseWhenDirect(L"Dovrex", schedule.directPauseAccepted);
        h.spooler.SetKeepPrinted(L"Dovrex", schedule.keepPrinted);
        const std::vector<unsigned char> image = SmallFirmwareImage();
        if (!schedule.embedded) h.ChooseFile(image);
        h.services.callWatch = &watch;
        h.services.keepAwake = &parts;
        for (const Strike& f : plan.failures) h.spooler.FailCall(f.op, f.nth);
        for (int n : plan.listFailures) h.spooler.FailCall(SpoolerOp::ListQueuedJobs, n);
        if (plan.writeLimit != 0) h.spooler.LimitWrites(plan.writeLimit);
        const std::size_t jobsBefore = model.Jobs().size();
        const auto imageBytesReceived = [&] {
            const auto jobs = model.Jobs();
            return std::any_of(jobs.begin() + static_cast<std::ptrdiff_t>(jobsBefore), jobs.end(),
                               [&](const auto& job) { return IsImagePart(job, image); });
        };
        const auto told = [&](const std::wstring& text, const std::string& when) {
            check(!(AdvisesSwitchingOff(text) && Working(model.Phase())),
                  run + when + " advises switching off while the embosser works");
            check(!(SaysNothingWent(text) && imageBytesReceived()),
                  run + when + " says nothing was sent after image bytes went");
        };
        check(hold.BeginRun(L"USB001"), run + "the embosser's lock still held");
        // The dialog's timer fires between calls: whenever it does, no call hangs (one
        // that did has returned), and everything is held for the embosser.
        for (const SpoolerOp op : kRunOps) {
            h.spooler.OnCall(op, 0, [&] {
                hold.Tick();
                check(parts.awake && hold.RefuseSessionEnd() && !hold.MayLeaveMidRun() && parts.box.empty(),
                      run + "not all held again while the embosser works");
            });
        }
        // A document that arrives during the very call that lets the image go (the
        // held firmware job's resume), or while a firmware job that isn't held is
        // started and written, comes after the run's last look: no spooler call can look
        // and release at once. The embosser then takes that document as its firmware and
        // refuses the image after it.
        bool letterAtRelease = false;
        std::vector<JobId> unended;
        for (const RunSchedule::Letter& letter : plan.letters) {
            const SpoolerOp op = letter.at.op;
            h.spooler.OnCall(op, letter.at.nth, [&, letter, op] {
                std::vector<sim::CapturedJob> own = h.spooler.Jobs();
                own.erase(std::remove_if(own.begin(), own.end(), [](const auto& j) { return j.foreign; }), own.end());
                const bool firmwareStarting = own.size() == 1 && op == SpoolerOp::BeginDocument;
                const bool firmwareGoing = own.size() == 2 && own[1].fate == sim::JobFate::Queued &&
                                           (own[1].paused ? op == SpoolerOp::ResumeJob : op != SpoolerOp::PauseJob);
                letterAtRelease = letterAtRelease || firmwareStarting || firmwareGoing;
                const JobId id = h.spooler.AddForeignDocument(L"Dovrex", kLetter, letter.complete, letter.ahead);
                if (!letter.complete) unended.push_back(id);
            });
        }
        for (const Strike& hang : plan.hangs) {
            // The call is under way for over a minute, as the dialog's timer sees it.
            h.spooler.OnCall(hang.op, hang.nth, [&] {
                parts.now += kStuckCallMs + 1000;
                hold.Tick();
                told(parts.box, "the hang message");
                parts.now += 1000;  // and it still hangs at the timer's next look
                hold.Tick();
                check(!parts.box.empty() && hold.MayLeaveMidRun() && !parts.awake && !hold.RefuseSessionEnd(),
                      run + "a hang not told, or taken back while it lasts");
            });
        }
        h.dialog.onMessage = [&] { told(h.dialog.Messages().back().text, "a message"); };
        h.dialog.onDeviceWorkEnded = [&] { hold.DeviceWorkEnded(); };

        UpdateThreadProc(h.context);

        check(!h.busy, run + "the busy flag stays set");
        check(!parts.locked && !parts.awake && !parts.blocked && !parts.ticking && parts.box.empty(),
              run + "something still held after the run");
        // The other program finishes its documents: whatever of the run's waited behind them goes now.
        for (const JobId letter : unended) h.spooler.CompleteDocument(letter);
        const auto all = model.Jobs();
        const auto phases = model.PhasesAtJobs();
        const std::vector<std::vector<unsigned char>> jobs(all.begin() + static_cast<std::ptrdiff_t>(jobsBefore), all.end());
        const std::vector<sim::CapturedJob> queued = h.spooler.Jobs();
        bool imageWhole = false;
        for (std::size_t j = 0; j < jobs.size(); ++j) {
            const sim::EmbosserPhase phase = phases[jobsBefore + j];
            if (jobs[j] == image) {
                imageWhole = true;
                if (letterAtRelease) continue;
                check(phase == sim::EmbosserPhase::Ready, run + "the image reached an embosser not reporting 1");
                check(j > 0 && std::equal(jobs[j - 1].begin(), jobs[j - 1].end(), sim::kServiceModeJob.begin(),
                                          sim::kServiceModeJob.end()),
                      run + "something came between the service-mode job and the image");
            } else if (IsImagePart(jobs[j], image)) {
                // Only a job that wasn't held lets a part out, and only on a short write.
                const bool held = std::any_of(queued.begin(), queued.end(), [&](const sim::CapturedJob& job) {
                    return !job.foreign && job.paused && IsImagePart(job.bytes, image);
                });
                check(!held && plan.writeLimit != 0, run + "a part of the image reached the embosser");
            }
        }
        const auto& messages = h.dialog.Messages();
        const bool started =
            std::any_of(queued.begin(), queued.end(), [](const sim::CapturedJob& j) { return !j.foreign; });
        check(!started || (!messages.empty() && messages.back().text != expected::kWriteFailed),
              run + "the run ended without its final message");
        for (const auto& m : messages) {
            check(m.text != expected::kSuccess || (imageWhole && model.ReportedFinishedFlash()),
                  run + "success told without a finished flash of the run's image");
        }
        for (const sim::CapturedJob& job : queued) {
            if (job.foreign) continue;
            check(!(job.fate == sim::JobFate::Queued && job.paused), run + "a job of the run left held");
            check(!(job.fate == sim::JobFate::Queued && !job.printing && job.ended),
                  run + "a job of the run left waiting");
            check(!(job.fate == sim::JobFate::Deleted && job.printing && job.sentBytes > 0),
                  run + "a job of the run deleted while printing");
        }
        if (!broken.empty()) break;
    }
    return broken;
}

std::uint32_t EnvNumber(const char* name, std::uint32_t fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? static_cast<std::uint32_t>(std::strtoul(value, nullptr, 10))
                                              : fallback;
}

TEST(UpdateScheduleExplorer, WhatReachesTheEmbosserAndWhatTheUserIsToldHoldUnderEverySchedule) {
    const std::uint32_t only = EnvNumber("REFLASHER_EXPLORE_SEED", 0);
    const std::uint32_t count = only != 0 ? 1 : EnvNumber("REFLASHER_EXPLORE_SCHEDULES", 1500);
    int failed = 0;
    const std::uint32_t reportAtMost = EnvNumber("REFLASHER_EXPLORE_REPORT", 10);
    for (std::uint32_t i = 0; i < count && static_cast<std::uint32_t>(failed) < reportAtMost; ++i) {
        const std::uint32_t seed = only != 0 ? only : 1 + i;
        const Schedule schedule = Draw(seed);
        const std::vector<std::string> broken = Explore(schedule);
        if (broken.empty()) continue;
        ++failed;
        std::string all;
        for (const auto& b : broken) all += "\n  " + b;
        ADD_FAILURE() << "REFLASHER_EXPLORE_SEED=" << seed << " (" << schedule.description << ")" << all;
    }
}

}  // namespace
}  // namespace reflasher::fakes
