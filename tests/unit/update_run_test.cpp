// The update run against scripted embossers: bar, status line, pauses, jobs and
// the one result message, for each way a run can go.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>
#include <thread>

#include "sim/EmbosserModel.h"
#include "tests/unit/UpdateHarness.h"
#include "update/UpdateTiming.h"

namespace reflasher::fakes {
namespace {

using Events = std::vector<std::wstring>;

// The service-mode request as the device expects it.
const std::vector<unsigned char> kServiceJob(sim::kServiceModeJob.begin(), sim::kServiceModeJob.end());

std::vector<Answer> Join(std::initializer_list<std::vector<Answer>> parts) {
    std::vector<Answer> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// `count` answers, `first` and `second` in turn.
std::vector<Answer> Alternating(int count, Answer first, Answer second) {
    std::vector<Answer> answers;
    for (int i = 0; i < count; ++i) answers.push_back(i % 2 == 0 ? first : second);
    return answers;
}

// Negotiation that finds 1 at once, a re-check that confirms it, and the embosser
// still waiting at the look before its held firmware is released.
const std::vector<Answer> kReadyAtOnce = {{1}, {1}, {1}};

struct ScriptedRun : UpdateHarness {
    explicit ScriptedRun(std::vector<Answer> script, const PrinterInfo& printer = Embosser())
        : device(&log, std::move(script)) {
        spooler.AddPrinter(printer, &device);
    }
    ScriptedDevice device;
};

TEST(UpdateRun, SuccessfulUpdateDrivesBarStatusAndPausesInOrder) {
    ScriptedRun run(Join({{{0}, {1}}, {{1}, {1}}, {{1}, {1}, {6, 0}, {6, 40}, {6, 98}, {0}}}));
    EXPECT_EQ(run.Run(), 0u);

    const Events expected = {
        L"range 0-100", L"pos 0", L"query",                      // the device, before sending
        L"job 40", L"pos 10", L"status negotiating update",
        L"query", L"sleep 800", L"query", L"sleep 800",          // negotiation
        L"query",                                                  // re-check, at once
        L"query",                                                  // before it is released
        L"job " + std::to_wstring(SmallFirmwareImage().size()),
        L"pos 20", L"status sending firmware", L"repaint dialog", L"pos 30", L"sleep 2000",
        L"query", L"status writing flash", L"pos 35", L"repaint bar", L"sleep 1500",
        L"query", L"status writing flash", L"pos 40", L"repaint bar", L"sleep 1500",
        L"query", L"status erasing flash", L"pos 50", L"repaint bar", L"sleep 1500",
        L"query", L"status writing flash", L"pos 70", L"repaint bar", L"sleep 1500",
        L"query", L"status writing flash", L"pos 99", L"repaint bar", L"sleep 1500",
        L"query", L"sleep 1500",
        L"pos 100", L"status writing done", L"message Info", L"pos 0"};
    EXPECT_EQ(run.log.Events(), expected);
    // The embosser is done once polling is over: what is held for its sake is let go
    // before the result is shown, not when the user closes it.
    EXPECT_EQ(run.dialog.DeviceWorkEnds(),
              std::vector<std::size_t>{static_cast<std::size_t>(
                  std::find(expected.begin(), expected.end(), L"pos 100") - expected.begin())});

    ASSERT_EQ(run.dialog.Messages().size(), 1u);
    EXPECT_EQ(run.dialog.Messages()[0].text, expected::kSuccess);
    EXPECT_EQ(run.dialog.Messages()[0].icon, MessageIcon::Information);
    EXPECT_EQ(run.handlesAtMessage, std::vector<int>{0}) << "printer closed before the result";
    EXPECT_EQ(run.dialog.StatusText(), L"writing done");

    const auto jobs = run.spooler.Jobs();
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].bytes, kServiceJob);
    EXPECT_EQ(jobs[1].bytes, SmallFirmwareImage());
    for (const auto& job : jobs) {
        EXPECT_EQ(job.docInfo.documentName, L"");
        EXPECT_EQ(job.docInfo.outputFile, L"");
        EXPECT_EQ(job.docInfo.dataType, L"RAW");
        EXPECT_TRUE(job.pageStarted);
        EXPECT_EQ(job.writeSizes.size(), 1u) << "each job is one write";
        EXPECT_TRUE(job.ended);
    }
    for (const auto& defaults : run.spooler.OpenDefaults()) {
        EXPECT_EQ(defaults.dataType, L"RAW");
        EXPECT_EQ(defaults.desiredAccess, 0xF000Cu);
    }
    EXPECT_EQ(run.spooler.OpenedNames(), (Events{L"Dovrex", L"Dovrex"}));
    EXPECT_EQ(run.spooler.CallCount(sim::SpoolerOp::EndPage), 2);
    EXPECT_EQ(run.spooler.OpenHandleCount(), 0);
}

TEST(UpdateRun, DeviceNeverReadyTimesOutAfterFiftyQueries) {
    ScriptedRun run(std::vector<Answer>{{0}});
    run.Run();

    EXPECT_EQ(run.clock.Pauses(), std::vector<std::uint32_t>(50, 800));
    EXPECT_EQ(run.log.Only(L"query").size(), 1 + 50u);
    ASSERT_EQ(run.dialog.Messages().size(), 1u);
    EXPECT_EQ(run.dialog.Messages()[0].text, expected::kNeverReady);
    EXPECT_EQ(run.dialog.Messages()[0].caption, L"Info");
    EXPECT_EQ(run.dialog.Messages()[0].icon, MessageIcon::Information);
    const Events events = run.log.Events();
    EXPECT_EQ(Events(events.end() - 3, events.end()), (Events{L"sleep 800", L"message Info", L"pos 0"}));
    EXPECT_EQ(run.dialog.StatusText(), L"negotiating update");
    EXPECT_EQ(run.spooler.Jobs().size(), 1u);
    EXPECT_EQ(run.spooler.OpenedNames().size(), 1u);
    EXPECT_EQ(run.spooler.OpenHandleCount(), 0);
    EXPECT_EQ(run.clock.TotalMs(), 40000u);
    // Printer closed, job removed and the device's work over before the message.
    EXPECT_EQ(run.handlesAtMessage, std::vector<int>{0});
    EXPECT_EQ(run.dialog.DeviceWorkEnds(), std::vector<std::size_t>{events.size() - 2});
}

// A queue that can't deliver, or an embosser already in an update, is found before
// anything is sent: one message, the printer closed and the device's work over
// before it, no job, no pause. A spooler that can't tell refuses nothing.
TEST(UpdateRun, QueueOrDeviceThatCantTakeAnUpdateIsRefusedWithNothingSent) {
    using Setup = std::function<void(sim::SimulatedSpooler&)>;
    const auto bits = [](std::uint32_t status) {
        return [status](sim::SimulatedSpooler& s) { s.SetQueueStatusBits(L"Dovrex", status); };
    };
    const struct {
        const char* what;
        Setup setup;
        Answer beforeSending;
        const wchar_t* refusal;  // null: the update goes ahead
    } cases[] = {
        {"set to work offline", [](sim::SimulatedSpooler& s) { s.SetWorkOffline(L"Dovrex", true); }, {0},
         expected::kQueueOffline},
        {"status offline", bits(queue_status::kOffline), {0}, expected::kQueueOffline},
        {"status not available", bits(queue_status::kNotAvailable), {0}, expected::kQueueOffline},
        {"server offline", bits(queue_status::kServerOffline), {0}, expected::kQueueOffline},
        {"server unknown", bits(queue_status::kServerUnknown), {0}, expected::kQueueOffline},
        {"unplugged", [](sim::SimulatedSpooler& s) { s.SetDeviceConnected(L"Dovrex", false); }, {0},
         expected::kQueueOffline},
        {"status paused", bits(queue_status::kPaused), {0}, expected::kQueuePaused},
        {"pending deletion", bits(queue_status::kPendingDeletion), {0}, expected::kQueueFault},
        {"paper out", bits(queue_status::kPaperOut), {0}, expected::kQueueFault},
        {"paper problem", bits(queue_status::kPaperProblem), {0}, expected::kQueueFault},
        {"user intervention", bits(queue_status::kUserIntervention), {0}, expected::kQueueFault},
        {"door open", bits(queue_status::kDoorOpen), {0}, expected::kQueueFault},
        {"paused", [](sim::SimulatedSpooler& s) { s.SetQueuePaused(L"Dovrex", true); }, {0},
         expected::kQueuePaused},
        {"error", bits(queue_status::kError), {0}, expected::kQueueFault},
        {"paper jam", bits(queue_status::kPaperJam), {0}, expected::kQueueFault},
        {"a document being written",
         [](sim::SimulatedSpooler& s) { s.AddForeignDocument(L"Dovrex", {'H', 'i'}, false); }, {0},
         expected::kDocumentsWaiting},
        {"a document counted, with no job list",
         [](sim::SimulatedSpooler& s) {
             s.AddForeignDocument(L"Dovrex", {'H', 'i'}, false);
             s.FailCall(sim::SpoolerOp::ListQueuedJobs);
         },
         {0}, expected::kDocumentsWaiting},
        {"a document stuck being deleted",
         [](sim::SimulatedSpooler& s) { s.SetJobHeldBits(s.AddForeignDocument(L"Dovrex", {'H'}, false), job_status::kDeleting); },
         {0}, expected::kDocumentsWaiting},
        {"a document in error",
         [](sim::SimulatedSpooler& s) { s.SetJobHeldBits(s.AddForeignDocument(L"Dovrex", {'H'}, false), job_status::kError); },
         {0}, expected::kDocumentsWaiting},
        // Kept by "Keep printed documents": listed, but nothing more will print.
        {"a printed document kept",
         [](sim::SimulatedSpooler& s) {
             s.SetKeepPrinted(L"Dovrex", true);
             s.AddPrintedDocument(L"Dovrex");
         },
         {0}, nullptr},
        {"device in service mode", [](sim::SimulatedSpooler&) {}, {1}, expected::kAlreadyUpdating},
        {"device flashing", [](sim::SimulatedSpooler&) {}, {6, 40}, expected::kAlreadyUpdating},
        {"no answer from the queue",
         [](sim::SimulatedSpooler& s) {
             s.FailCall(sim::SpoolerOp::GetQueueState);
             s.FailCall(sim::SpoolerOp::ListQueuedJobs);
         },
         {0}, nullptr},
        {"device silent", [](sim::SimulatedSpooler&) {}, {kNoAnswer}, nullptr},
        {"power saving", bits(0x1000000), {0}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        UpdateHarness run;
        ScriptedDevice device(&run.log, Join({kReadyAtOnce, {{6, 0}, {0}}}), c.beforeSending);
        run.spooler.AddPrinter(Embosser(), &device);
        c.setup(run.spooler);
        run.Run();
        std::size_t ownJobs = 0;
        for (const auto& job : run.spooler.Jobs()) ownJobs += !job.foreign;
        if (c.refusal == nullptr) {
            EXPECT_EQ(run.MessageTexts(), Events{expected::kSuccess});
            EXPECT_EQ(ownJobs, 2u);
            continue;
        }
        ASSERT_EQ(run.MessageTexts(), Events{c.refusal});
        EXPECT_EQ(run.dialog.Messages()[0].caption, L"Error");
        EXPECT_EQ(run.dialog.Messages()[0].icon, MessageIcon::Warning);
        EXPECT_EQ(ownJobs, 0u) << "something was sent";
        EXPECT_TRUE(device.Jobs().empty());
        EXPECT_TRUE(run.clock.Pauses().empty());
        EXPECT_EQ(run.handlesAtMessage, std::vector<int>{0});
        EXPECT_LT(run.dialog.DeviceWorkEnds().at(0), run.log.Events().size() - 1);
        EXPECT_EQ(run.dialog.StatusText(), L"") << "the status line is left as it was";
    }
}

// Which jobs keep a run from starting: printed, complete or deleted ones are done,
// each alone; one being deleted, or in error, still holds the queue, printed or not.
TEST(PrintQueue, OnlyJobsStillToPrintCount) {
    const std::pair<std::uint32_t, bool> cases[] = {
        {0, true},
        {job_status::kPaused, true},
        {job_status::kSpooling | job_status::kPrinting, true},
        {job_status::kPrinted, false},
        {job_status::kComplete, false},
        {job_status::kDeleted, false},
        {job_status::kPrinted | job_status::kDeleting, true},
        {job_status::kPrinted | job_status::kError, true},
    };
    for (const auto& [status, counts] : cases) {
        EXPECT_EQ(JobStillToPrint(QueuedJob{1, status}), counts) << "status " << status;
    }
}

// The looks before the held firmware is released, with an embosser that keeps
// answering 1: another program's document that joined the queue in any state keeps
// the firmware back, and so does a job list that can't be had; documents kept from
// before don't count, and without any list the document count decides.
TEST(UpdateRun, TheHeldFirmwareGoesOnlyWhenNoOtherDocumentJoined) {
    using Setup = std::function<void(sim::SimulatedSpooler&)>;
    using sim::SpoolerOp;
    const auto letterAt = [](SpoolerOp op, int nth, bool complete, bool ahead) {
        return [=](sim::SimulatedSpooler& s) {
            s.OnCall(op, nth, [&s, complete, ahead] { s.AddForeignDocument(L"Dovrex", {'H', 'i'}, complete, ahead); });
        };
    };
    const struct {
        const char* what;
        Setup setup;
        bool released;
    } cases[] = {
        {"nothing joined", [](sim::SimulatedSpooler&) {}, true},
        {"printed behind the held job, kept", [&](sim::SimulatedSpooler& s) {
             s.SetKeepPrinted(L"Dovrex", true);
             letterAt(SpoolerOp::Write, 2, true, false)(s);
         }, false},
        {"printed behind the held job, gone", letterAt(SpoolerOp::Write, 2, true, false), true},
        {"still being written, ahead", letterAt(SpoolerOp::Write, 2, false, true), false},
        {"still being written, behind", letterAt(SpoolerOp::EndDocument, 2, false, false), false},
        {"the job list failing at the look", [](sim::SimulatedSpooler& s) { s.FailCall(SpoolerOp::ListQueuedJobs, 4); },
         false},
        {"a document kept from before", [](sim::SimulatedSpooler& s) {
             s.SetKeepPrinted(L"Dovrex", true);
             s.AddPrintedDocument(L"Dovrex");
         }, true},
        {"no job list at all", [](sim::SimulatedSpooler& s) { s.FailCall(SpoolerOp::ListQueuedJobs); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedRun run(Join({kReadyAtOnce, {{6, 0}, {0}}}));
        c.setup(run.spooler);
        run.Run();
        // A printed document that left no trace can only be caught by the embosser's status,
        // which this scripted one doesn't change.
        EXPECT_EQ(run.MessageTexts(), Events{c.released ? expected::kSuccess : expected::kForeignDocument});
        const auto received = run.device.Jobs();
        const bool firmwareWent = std::find(received.begin(), received.end(), SmallFirmwareImage()) != received.end();
        EXPECT_EQ(firmwareWent, c.released);
    }
}

// Jobs the run queued that never went out are removed at its end, so nothing of
// the run prints later: the service-mode job after a timeout, the firmware after
// polling that never finished, and both when another program's document came in.
TEST(UpdateRun, NoJobOfTheRunIsLeftToPrintLater) {
    {
        SCOPED_TRACE("unplugged during negotiation");
        ScriptedRun run(std::vector<Answer>{{0}});
        // Right after the look before sending: the service-mode job finds the queue offline.
        run.device.onQuery = [&](std::size_t query) {
            if (query == 1) run.spooler.SetDeviceConnected(L"Dovrex", false);
        };
        run.Run();
        EXPECT_EQ(run.MessageTexts(), Events{expected::kNeverReady});
        run.spooler.SetDeviceConnected(L"Dovrex", true);
        EXPECT_TRUE(run.device.Jobs().empty()) << "the service-mode job printed later";
        EXPECT_EQ(run.spooler.Jobs().at(0).fate, sim::JobFate::Deleted);
    }
    {
        SCOPED_TRACE("queue paused under the firmware job");
        ScriptedRun run(Join({kReadyAtOnce, {{kNoAnswer}}}));
        run.device.onQuery = [&](std::size_t query) {
            if (query == 3) run.spooler.SetQueuePaused(L"Dovrex", true);  // at the re-check
        };
        run.Run();
        EXPECT_EQ(run.MessageTexts(), Events{expected::kNotFinished});
        run.spooler.SetQueuePaused(L"Dovrex", false);
        EXPECT_EQ(run.device.Jobs().size(), 1u) << "the firmware printed later";
        EXPECT_EQ(run.spooler.Jobs().at(1).fate, sim::JobFate::Deleted);
    }
    {
        SCOPED_TRACE("another program's document between the two jobs");
        ScriptedRun run(Join({kReadyAtOnce, {{6, 0}, {0}}}));
        JobId letter = 0;
        run.device.onQuery = [&](std::size_t query) {
            if (query == 2) letter = run.spooler.AddForeignDocument(L"Dovrex", {'H', 'i'}, false);
        };
        run.Run();
        EXPECT_EQ(run.MessageTexts(), Events{expected::kForeignDocument});
        EXPECT_EQ(run.dialog.Messages()[0].caption, L"Error");
        EXPECT_EQ(run.handlesAtMessage, std::vector<int>{0});
        EXPECT_EQ(run.log.Only(L"pos 0").size(), 2u) << "the bar back at 0 after the message";
        run.spooler.CompleteDocument(letter);
        ASSERT_EQ(run.device.Jobs().size(), 2u) << "the firmware was sent after all";
        EXPECT_EQ(run.device.Jobs()[1], (std::vector<unsigned char>{'H', 'i'}));
        EXPECT_EQ(run.spooler.QueuedJobIds(L"Dovrex"), std::vector<JobId>{});
    }
}

// Anything but 1 at the re-check: printer closed, then the message, then the bar at 0.
TEST(UpdateRun, RecheckThatIsNotReadyEndsTheRun) {
    const struct {
        Answer recheck;
        const wchar_t* message;
    } cases[] = {
        {{kNoAnswer}, expected::kRecheckError}, {{0}, expected::kRecheckError},
        {{2}, expected::kRecheckInvalidFile},   {{3}, expected::kRecheckError},
        {{5}, expected::kRecheckError},         {{6, 10}, expected::kRecheckError},
        {{7}, expected::kRecheckError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.recheck.status);
        ScriptedRun run({{1}, c.recheck});
        run.Run();
        ASSERT_EQ(run.dialog.Messages().size(), 1u);
        EXPECT_EQ(run.dialog.Messages()[0].text, c.message);
        EXPECT_EQ(run.dialog.Messages()[0].caption, L"Error");
        EXPECT_EQ(run.dialog.Messages()[0].icon, MessageIcon::Warning);
        EXPECT_EQ(run.handlesAtMessage, std::vector<int>{0});
        const Events events = run.log.Events();
        EXPECT_EQ(Events(events.end() - 4, events.end()),
                  (Events{L"sleep 800", L"query", L"message Error", L"pos 0"}));
        EXPECT_EQ(run.spooler.Jobs().size(), 1u) << "no firmware job";
        EXPECT_EQ(run.spooler.OpenedNames().size(), 2u);
        EXPECT_EQ(run.spooler.OpenHandleCount(), 0);
    }
}

// How flash polling ends, by what the device says after the firmware job.
TEST(UpdateRun, FlashPollingEndsWithTheMessageForTheLastStatus) {
    const struct {
        const char* what;
        std::vector<Answer> flash;
        std::size_t flashQueries;
        const wchar_t* message;
        MessageIcon icon;
        bool lastQueryQuiet = true;  // the last answer moves nothing on screen
    } cases[] = {
        {"0 before any 6 doesn't finish", {{0}, {0}, {6, 0}, {0}}, 4, expected::kSuccess,
         MessageIcon::Information},
        {"0 alone never finishes", {{0}}, 50, expected::kNotFinished, MessageIcon::Warning},
        {"5 at once", {{5}}, 1, expected::kWriteError, MessageIcon::Information},
        {"5 while writing", {{6, 0}, {6, 30}, {5}}, 3, expected::kWriteError, MessageIcon::Information},
        {"4", {{1}, {4}}, 2, expected::kUnknownError, MessageIcon::Information},
        {"4 after 6", {{6, 20}, {4}}, 2, expected::kUnknownError, MessageIcon::Information},
        // The rising 50 and the change to no answer are news: 50 queries without any follow.
        {"status that stops answering", {{6, 0}, {6, 50}, {kNoAnswer}}, 53, expected::kNotFinished,
         MessageIcon::Warning},
        // The device's verdicts 2 and 3 end polling at once and are told in their own words.
        {"2 while erasing", {{6, 0}, {2}}, 2, expected::kInvalidHex, MessageIcon::Information},
        {"3 while writing", {{6, 80}, {3}}, 2, expected::kFlashDeviceError, MessageIcon::Information},
        {"2 before any 6", {{2}, {2}, {6, 0}, {0}}, 1, expected::kInvalidHex,
         MessageIcon::Information},
        {"2 after silence", {{kNoAnswer}, {kNoAnswer}, {2}}, 3, expected::kInvalidHex,
         MessageIcon::Information},
        {"3 after an unknown code", {{9}, {3}, {0}}, 2, expected::kFlashDeviceError,
         MessageIcon::Information},
        {"3 is told, not a 5 after it", {{3}, {5}}, 1, expected::kFlashDeviceError,
         MessageIcon::Information},
        {"2 on the fiftieth query", Join({std::vector<Answer>(49, {1}), {{2}}}), 50,
         expected::kInvalidHex, MessageIcon::Information},
        // Only news counts: progress that stops rising is a stall like any other.
        {"progress that stops rising", {{6, 0}, {6, 50}}, 52, expected::kNotFinished, MessageIcon::Warning, false},
        // A device that keeps telling something new is followed up to the limit on the whole
        // flash; one that still reports flash work then is not to be switched off.
        {"news at every query, writing at the limit", Alternating(kFlashQueryLimit, {1}, {6, 10}),
         kFlashQueryLimit, expected::kStillWriting, MessageIcon::Warning, false},
        {"news at every query, silent at the limit", Alternating(kFlashQueryLimit, {6, 10}, {kNoAnswer}),
         kFlashQueryLimit, expected::kNotFinished, MessageIcon::Warning, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedRun run(Join({kReadyAtOnce, c.flash}));
        run.Run();
        // One negotiation query, the re-check, the look before release, then the flash queries.
        EXPECT_EQ(run.log.Only(L"query").size(), 4 + c.flashQueries);
        std::vector<std::uint32_t> pauses = {800, 2000};
        pauses.insert(pauses.end(), c.flashQueries, 1500);
        EXPECT_EQ(run.clock.Pauses(), pauses);
        ASSERT_EQ(run.dialog.Messages().size(), 1u);
        EXPECT_EQ(run.dialog.Messages()[0].text, c.message);
        EXPECT_EQ(run.dialog.Messages()[0].icon, c.icon);
        EXPECT_EQ(run.dialog.Messages()[0].caption,
                  c.icon == MessageIcon::Information ? L"Info" : L"Error");
        // The last query changes nothing on screen: the bar neither creeps nor moves.
        const Events events = run.log.Events();
        const std::wstring shown = L"message " + run.dialog.Messages()[0].caption;
        Events tail = {L"sleep 1500", L"pos 100", L"status writing done", shown, L"pos 0"};
        if (c.lastQueryQuiet) tail.insert(tail.begin(), L"query");
        EXPECT_EQ(Events(events.end() - static_cast<std::ptrdiff_t>(tail.size()), events.end()), tail);
        EXPECT_EQ(run.dialog.Position(), 0);
        EXPECT_EQ(run.handlesAtMessage, std::vector<int>{0});
        EXPECT_EQ(run.spooler.OpenHandleCount(), 0);
    }
}

TEST(UpdateRun, BarCreepsByFiveUpToSixtyWhileTheDeviceSaysNothingUseful) {
    ScriptedRun run(Join({kReadyAtOnce, {{1}}}));
    run.Run();
    EXPECT_EQ(run.log.Only(L"pos"),
              (Events{L"pos 0", L"pos 10", L"pos 20", L"pos 30", L"pos 35", L"pos 40", L"pos 45",
                      L"pos 50", L"pos 55", L"pos 60", L"pos 100", L"pos 0"}));
    EXPECT_EQ(run.log.Only(L"status writing flash").size(), 6u);
    EXPECT_EQ(run.log.Only(L"repaint bar").size(), 6u);
    EXPECT_EQ(run.log.Only(L"query").size(), 54u);
    EXPECT_EQ(run.MessageTexts(), Events{expected::kNotFinished});
    EXPECT_EQ(run.clock.TotalMs(), 800u + 2000u + 50u * 1500u);
}

TEST(UpdateRun, CreepStepIsTakenOnlyBelowSixty) {
    ScriptedRun run(Join({kReadyAtOnce, {{6, 14}, {1}, {1}, {5}}}));
    run.Run();
    EXPECT_EQ(run.log.Only(L"pos"),
              (Events{L"pos 0", L"pos 10", L"pos 20", L"pos 30", L"pos 57", L"pos 62", L"pos 100",
                      L"pos 0"}));
    EXPECT_EQ(run.log.Only(L"status writing flash").size(), 2u);
    EXPECT_EQ(run.MessageTexts(), Events{expected::kWriteError});
}

// The bar follows the reported progress, going down as well as up.
TEST(UpdateRun, WorkingStatusSetsTheBarFromProgress) {
    ScriptedRun run(Join({kReadyAtOnce, {{1}, {1}, {1}, {1}, {1}, {1}, {6, 0}, {6, 1}, {6, 99}, {0}}}));
    run.Run();
    EXPECT_EQ(run.log.Only(L"pos"),
              (Events{L"pos 0", L"pos 10", L"pos 20", L"pos 30", L"pos 35", L"pos 40", L"pos 45",
                      L"pos 50", L"pos 55", L"pos 60", L"pos 50", L"pos 50", L"pos 99", L"pos 100",
                      L"pos 0"}));
    EXPECT_EQ(run.log.Only(L"status erasing flash").size(), 1u);
    EXPECT_EQ(run.MessageTexts(), Events{expected::kSuccess});
}

// No such printer, or a port that isn't exactly "USB...": the run ends silently.
TEST(UpdateRun, PrinterThatCannotBeOpenedEndsTheRunSilently) {
    const struct {
        const char* what;
        PrinterInfo printer;
        std::uint32_t granted = kPrinterAllAccess;
    } cases[] = {
        {"another printer's name", Embosser(L"Someone else")},
        {"lower-case usb port", Embosser(L"Dovrex", L"usb001")},
        {"parallel port", Embosser(L"Dovrex", L"LPT1:")},
        {"not even use access", Embosser(), 0},
        {"use access, lower-case usb port", Embosser(L"Dovrex", L"usb001"), kPrinterAccessUse},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedRun run({{1}}, c.printer);
        run.spooler.LimitAccess(c.granted);
        run.Run();
        EXPECT_EQ(run.log.Events(), (Events{L"range 0-100", L"pos 0"}));
        EXPECT_TRUE(run.dialog.Messages().empty());
        EXPECT_TRUE(run.spooler.Jobs().empty());
        EXPECT_EQ(run.dialog.Position(), 0);
        EXPECT_EQ(run.spooler.OpenHandleCount(), 0);
    }
}

// A user who may print but not manage printers: both opens fall back to use access,
// and the run goes on to success as for anyone else.
TEST(UpdateRun, StandardUserUpdatesWithUseAccess) {
    ScriptedRun run(Join({kReadyAtOnce, {{6, 0}, {6, 50}, {0}}}));
    run.spooler.LimitAccess(kPrinterAccessUse);
    run.Run();
    std::vector<std::uint32_t> accessAsked;
    for (const auto& defaults : run.spooler.OpenDefaults()) {
        accessAsked.push_back(defaults.desiredAccess);
    }
    EXPECT_EQ(accessAsked, (std::vector<std::uint32_t>{kPrinterAllAccess, kPrinterAccessUse,
                                                       kPrinterAllAccess, kPrinterAccessUse}));
    EXPECT_EQ(run.device.Jobs().size(), 2u);
    EXPECT_EQ(run.MessageTexts(), Events{expected::kSuccess});
    EXPECT_EQ(run.spooler.OpenHandleCount(), 0);
}

// The embosser waits in service mode for its firmware: the user must hear of it,
// after the device's work is over. The bar stays at 10.
TEST(UpdateRun, SecondOpenFailingTellsTheEmbosserWaitsWithTheBarAtTen) {
    ScriptedRun run(std::vector<Answer>{{1}});
    run.spooler.FailCall(sim::SpoolerOp::Open, 2);
    run.Run();
    ASSERT_EQ(run.MessageTexts(), Events{expected::kReopenFailed});
    EXPECT_EQ(run.dialog.Messages()[0].caption, L"Error");
    EXPECT_EQ(run.dialog.Messages()[0].icon, MessageIcon::Warning);
    EXPECT_EQ(run.handlesAtMessage, std::vector<int>{0});
    EXPECT_LT(run.dialog.DeviceWorkEnds().at(0), run.log.Events().size());
    EXPECT_EQ(run.dialog.Position(), 10);
    EXPECT_EQ(run.dialog.StatusText(), L"negotiating update");
    EXPECT_EQ(run.spooler.Jobs().size(), 1u);
    EXPECT_EQ(run.spooler.OpenHandleCount(), 0);
}

// The printer is the one the run was given at Start, held in its context (nothing
// the dialog selects later reaches it): both opens go to it, none to another.
TEST(UpdateRun, BothOpensUseTheNameTakenAtTheStart) {
    ScriptedRun run(Join({kReadyAtOnce, {{6, 50}, {0}}}));
    ScriptedDevice other(nullptr, {{1}});
    run.spooler.AddPrinter(Embosser(L"Other"), &other);
    run.Run();
    EXPECT_EQ(run.spooler.OpenedNames(), (Events{L"Dovrex", L"Dovrex"}));
    EXPECT_TRUE(other.Jobs().empty());
    EXPECT_EQ(run.MessageTexts(), Events{expected::kSuccess});
}

// A failed start of document or page skips that job's data, silently; the embosser,
// from what it received, decides how the run ends.
TEST(UpdateRun, FailedJobStartsSkipTheDataAndTheRunGoesOn) {
    const struct {
        sim::SpoolerOp op;
        int nth;
        std::size_t jobsReachingDevice;
        int writes;
        const wchar_t* message;
    } cases[] = {
        {sim::SpoolerOp::BeginDocument, 1, 0, 0, expected::kNeverReady},
        {sim::SpoolerOp::BeginDocument, 2, 1, 1, expected::kNotFinished},  // waits for its firmware
        {sim::SpoolerOp::BeginPage, 1, 1, 0, expected::kNeverReady},        // an empty job
        {sim::SpoolerOp::BeginPage, 2, 2, 1, expected::kInvalidHex},        // an empty job as firmware
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(sim::SpoolerOpName(c.op)) + " #" + std::to_string(c.nth));
        UpdateHarness run;
        sim::EmbosserModel model;
        run.spooler.AddPrinter(Embosser(), &model);
        run.spooler.FailCall(c.op, c.nth);
        run.Run();
        EXPECT_EQ(model.Jobs().size(), c.jobsReachingDevice);
        const auto jobs = run.spooler.Jobs();
        for (const auto& job : jobs) EXPECT_TRUE(job.ended) << "a started document is ended";
        const auto pagesStarted = std::count_if(jobs.begin(), jobs.end(),
                                                [](const auto& job) { return job.pageStarted; });
        EXPECT_EQ(run.spooler.CallCount(sim::SpoolerOp::EndPage), pagesStarted)
            << "a page is ended only when it was started";
        EXPECT_EQ(run.spooler.CallCount(sim::SpoolerOp::Write), c.writes);
        EXPECT_EQ(run.MessageTexts(), Events{c.message});
        EXPECT_EQ(run.spooler.OpenHandleCount(), 0);
    }
}

// The worker owns its run: the busy flag is cleared only after the result was read,
// and once it is clear (the dialog may be gone by then) the dialog side is never
// reached again; the run is freed last, by the worker.
TEST(UpdateThreadProc, ReachesTheDialogOnlyWhileBusyAndFreesItsRunLast) {
    ScriptedRun scripted{Join({kReadyAtOnce, {{6, 0}, {6, 50}, {0}}})};
    // The run's requests of the dialog, owned by its argument: passed on to the
    // recording dialog, and when the worker frees the argument, what it did by then
    // is looked at.
    struct OwnedRequests : DialogRequests {
        ScriptedRun& scripted;
        bool* busyAtFree;
        const std::thread::id* workerId;
        OwnedRequests(ScriptedRun& run, bool* busyAtFreeOut, const std::thread::id* worker)
            : scripted(run), busyAtFree(busyAtFreeOut), workerId(worker) {}
        ~OwnedRequests() override {
            *busyAtFree = scripted.busy;
            EXPECT_EQ(scripted.dialog.CallsWhileIdle(), 0) << "dialog reached after the flag cleared";
            EXPECT_EQ(scripted.MessageTexts(), Events{expected::kSuccess});
            scripted.ExpectAwakeWhileTheDeviceWorks(*workerId);
        }
        void SetProgressRange(int lower, int upper) override { scripted.dialog.SetProgressRange(lower, upper); }
        void SetProgressPos(int position) override { scripted.dialog.SetProgressPos(position); }
        void SetStatusLine(const std::wstring& text) override { scripted.dialog.SetStatusLine(text); }
        void RepaintDialog() override { scripted.dialog.RepaintDialog(); }
        void RepaintProgressBar() override { scripted.dialog.RepaintProgressBar(); }
        void ShowMessage(const std::wstring& text, const std::wstring& caption, MessageIcon icon) override {
            scripted.dialog.ShowMessage(text, caption, icon);
        }
        void DeviceWorkEnded() override { scripted.dialog.DeviceWorkEnded(); }
    };
    bool busyAtFree = true;
    bool busyWhileMessageShown = false, busyAtDeviceWorkEnd = false;
    std::thread::id workerId;
    auto argument = std::make_unique<UpdateThreadArgument>(
        scripted.services, std::make_unique<OwnedRequests>(scripted, &busyAtFree, &workerId),
        L"Dovrex", FirmwareImage{}, scripted.busy);
    scripted.dialog.onMessage = [&] { busyWhileMessageShown = scripted.busy; };
    scripted.dialog.onDeviceWorkEnded = [&, note = scripted.dialog.onDeviceWorkEnded] {
        note();
        busyAtDeviceWorkEnd = scripted.busy;
    };
    unsigned result = 99;
    // The thread gets the argument as the program's worker does, and owns it from then on.
    std::thread worker([&, owned = static_cast<void*>(argument.release())] {
        workerId = std::this_thread::get_id();
        result = UpdateThreadProc(owned);
    });
    worker.join();
    EXPECT_EQ(result, 0u);
    EXPECT_TRUE(busyWhileMessageShown);
    EXPECT_TRUE(busyAtDeviceWorkEnd);
    EXPECT_FALSE(busyAtFree) << "the run was freed before the busy flag cleared";
}

// Even a run that meets an exception must not leave the dialog refusing everything,
// nor the system kept awake; it ends with a word to the user.
TEST(UpdateThreadProc, ClearsTheBusyFlagWhenTheRunMeetsAnException) {
    struct ThrowingDialog : RecordingDialog {
        using RecordingDialog::RecordingDialog;
        void SetProgressRange(int, int) override { throw std::runtime_error("window gone"); }
    };
    EventLog log;
    ThrowingDialog dialog(log);
    sim::SimulatedSpooler spooler;
    FakePauses clock(log);
    FakeKeepAwake keepAwake(log);
    FirmwareImage image;
    std::atomic<bool> busy{true};
    const UpdateServices services{&spooler, &clock, &keepAwake, &Allocator::Heap()};
    UpdateContext context{services, dialog, L"Dovrex", image, busy};
    EXPECT_NO_THROW(UpdateThreadProc(context));
    ASSERT_EQ(dialog.Messages().size(), 1u);
    EXPECT_EQ(dialog.Messages()[0].text, expected::kRunFailed);
    EXPECT_FALSE(busy);
    ExpectAwakeWhileTheDeviceWorks(keepAwake, dialog, std::this_thread::get_id());
}

}  // namespace
}  // namespace reflasher::fakes
