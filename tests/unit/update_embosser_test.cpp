// Whole update runs against the simulated embosser: the synthetic firmware image
// arriving byte for byte, the model's scripted faults, and every spooler call
// failing in turn.
#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <string>
#include <thread>

#include "device/DeviceStatus.h"
#include "sim/EmbosserModel.h"
#include "sim/SyntheticFirmware.h"
#include "tests/unit/UpdateHarness.h"
#include "update/RunMessages.h"
#include "update/StuckCallWatch.h"
#include "update/UpdateTiming.h"

namespace reflasher::fakes {
namespace {

using Texts = std::vector<std::wstring>;
using sim::EmbosserFault;
using sim::SpoolerOp;


const std::vector<unsigned char>& SyntheticImage() {
    static const std::vector<unsigned char> image = [] {
        const std::string text = sim::GenerateSyntheticFirmware();
        return std::vector<unsigned char>(text.begin(), text.end());
    }();
    return image;
}

enum class Source { Embedded, File };

struct EmbosserRun : UpdateHarness {
    explicit EmbosserRun(sim::EmbosserScript script = {}, Source source = Source::Embedded,
                         std::vector<unsigned char> image = SyntheticImage())
        : model(script) {
        spooler.AddPrinter(Embosser(), &model);
        if (source == Source::Embedded) {
            Embed(std::move(image));
        } else {
            ChooseFile(image);
        }
    }
    sim::EmbosserModel model;
};

TEST(UpdateWithEmbosser, SyntheticImageArrivesByteForByteInOneWrite) {
    ASSERT_EQ(SyntheticImage().size(), 1140906u);
    for (Source source : {Source::Embedded, Source::File}) {
        SCOPED_TRACE(source == Source::Embedded ? "embedded image" : "chosen file");
        EmbosserRun run({}, source);
        run.Run();
        const auto jobs = run.model.Jobs();
        ASSERT_EQ(jobs.size(), 2u);
        EXPECT_EQ(jobs[0], std::vector<unsigned char>(sim::kServiceModeJob.begin(),
                                                      sim::kServiceModeJob.end()));
        EXPECT_TRUE(run.model.FirmwareReceived() == SyntheticImage()) << "image changed on the way";
        EXPECT_EQ(run.spooler.Jobs()[1].writeSizes, std::vector<std::uint32_t>{1140906});
        EXPECT_TRUE(run.model.LastImageCheck().Valid());
        EXPECT_EQ(run.MessageTexts(), Texts{expected::kSuccess});
        EXPECT_TRUE(run.model.ReportedFinishedFlash());
        EXPECT_EQ(run.spooler.OpenHandleCount(), 0);
    }
}

// The program never judges the image: a damaged one goes out unchanged, and the
// device's "invalid" (2) is what the user is finally told.
TEST(UpdateWithEmbosser, DamagedImageIsSentUnchangedAndTheDeviceOutcomeShown) {
    std::vector<unsigned char> damaged = SyntheticImage();
    damaged[5000] = damaged[5000] == 'A' ? 'B' : 'A';
    EmbosserRun run({}, Source::Embedded, damaged);
    run.Run();
    EXPECT_TRUE(run.model.FirmwareReceived() == damaged);
    EXPECT_FALSE(run.model.LastImageCheck().Valid());
    EXPECT_EQ(run.MessageTexts(), Texts{expected::kInvalidHex});
    EXPECT_EQ(run.log.Only(L"sleep 1500").size(), 1u) << "the device's 2 ends polling at once";
}

TEST(UpdateWithEmbosser, EachScriptedFaultEndsWithItsMessage) {
    const struct {
        EmbosserFault fault;
        Texts messages;
    } cases[] = {
        {EmbosserFault::None, {expected::kSuccess}},
        {EmbosserFault::NeverReady, {expected::kNeverReady}},
        {EmbosserFault::LostAfterReady, {expected::kRecheckError}},
        {EmbosserFault::FlashError, {expected::kFlashDeviceError}},
        {EmbosserFault::UnknownError, {expected::kUnknownError}},
        {EmbosserFault::WriteError, {expected::kWriteError}},
        {EmbosserFault::SilentMidFlash, {expected::kNotFinished}},
        {EmbosserFault::WrongMaker, {expected::kNeverReady}},
        {EmbosserFault::WrongModel, {expected::kNeverReady}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.fault));
        sim::EmbosserScript script;
        script.fault = c.fault;
        EmbosserRun run(script);
        run.Run();
        EXPECT_EQ(run.MessageTexts(), c.messages);
        EXPECT_EQ(run.dialog.Position(), 0);
        EXPECT_EQ(run.spooler.OpenHandleCount(), 0);
        EXPECT_EQ(c.fault == EmbosserFault::None, run.model.ReportedFinishedFlash());
    }
}

// Every call of every spooler operation a run makes fails in turn (and then all of
// its calls at once): the run must end without a crash, without a printer left
// open, and may claim success only when the device really said 0 after 6.
TEST(UpdateWithEmbosser, AnySpoolerCallFailingLeavesNoHandleAndNoFalseSuccess) {
    const SpoolerOp ops[] = {
        SpoolerOp::Open,        SpoolerOp::Close,          SpoolerOp::PrinterRecordSize,
        SpoolerOp::ReadPort,    SpoolerOp::ReadDriverData, SpoolerOp::BeginDocument,
        SpoolerOp::BeginPage,   SpoolerOp::Write,          SpoolerOp::EndPage,
        SpoolerOp::EndDocument, SpoolerOp::GetQueueState,  SpoolerOp::ListQueuedJobs,
        SpoolerOp::PauseJob,    SpoolerOp::ResumeJob};
    int scenarios = 0;
    for (Source source : {Source::Embedded, Source::File}) {
        for (SpoolerOp op : ops) {
            int calls = 0;
            {
                EmbosserRun clean({}, source);
                clean.Run();
                ASSERT_EQ(clean.MessageTexts(), Texts{expected::kSuccess});
                calls = clean.spooler.CallCount(op);
                ASSERT_GT(calls, 0) << sim::SpoolerOpName(op) << " is used by a run";
            }
            for (int nth = 0; nth <= calls; ++nth) {  // 0: every call fails
                SCOPED_TRACE(std::string(sim::SpoolerOpName(op)) + " call " + std::to_string(nth) +
                             (source == Source::File ? " (file)" : " (embedded)"));
                EmbosserRun run({}, source);
                run.spooler.FailCall(op, nth);
                run.Run();
                ++scenarios;
                EXPECT_EQ(run.spooler.OpenHandleCount(), 0);
                EXPECT_LE(run.dialog.Messages().size(), 2u);
                const Texts shown = run.MessageTexts();
                const bool success = std::find(shown.begin(), shown.end(), expected::kSuccess) != shown.end();
                if (success) {
                    EXPECT_TRUE(run.model.ReportedFinishedFlash());
                }
                // Losing either job's bytes must never read as a successful update.
                if (op == SpoolerOp::Write || op == SpoolerOp::EndDocument) {
                    EXPECT_FALSE(success);
                }
            }
        }
    }
    std::printf("[ faults ] %d failing-call scenarios\n", scenarios);
}


bool Holds(const std::vector<std::vector<unsigned char>>& jobs, const std::vector<unsigned char>& bytes) {
    return std::find(jobs.begin(), jobs.end(), bytes) != jobs.end();
}

// Each job is paused from its start until it is whole. However the queue delivers,
// the update goes through; what a queue that prints directly can't hold goes as it
// is written; a job that can't be paused, or whose resume fails, is no fault.
TEST(UpdateWithEmbosser, EachJobIsHeldUntilItIsWhole) {
    const struct {
        const char* what;
        sim::DeliveryMode mode;
        std::function<void(sim::SimulatedSpooler&)> setup;
        Texts messages;
        bool firmwareArrives;
    } cases[] = {
        {"printing while spooling", sim::DeliveryMode::WhileSpooling, nullptr, {expected::kSuccess}, true},
        {"printing after spooling", sim::DeliveryMode::AfterSpooled, nullptr, {expected::kSuccess}, true},
        {"printing directly", sim::DeliveryMode::Direct, nullptr, {expected::kSuccess}, true},
        {"pausing refused", sim::DeliveryMode::WhileSpooling,
         [](sim::SimulatedSpooler& s) { s.FailCall(SpoolerOp::PauseJob); }, {expected::kSuccess}, true},
        {"the firmware's resume refused", sim::DeliveryMode::WhileSpooling,
         [](sim::SimulatedSpooler& s) { s.FailCall(SpoolerOp::ResumeJob, 2); }, {expected::kNotFinished}, false},
        // Nothing is spooled, so nothing can be held: a part of the image reaches the embosser.
        {"printing directly, a short write", sim::DeliveryMode::Direct,
         [](sim::SimulatedSpooler& s) { s.LimitWrites(1000); }, {expected::kWriteFailed, expected::kInvalidHex}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EmbosserRun run;
        run.spooler.SetDeliveryMode(L"Dovrex", c.mode);
        if (c.setup) c.setup(run.spooler);
        run.Run();
        EXPECT_EQ(run.MessageTexts(), c.messages);
        EXPECT_EQ(Holds(run.model.Jobs(), SyntheticImage()), c.firmwareArrives);
        // A queue that prints directly can hold nothing, and isn't asked to.
        EXPECT_EQ(run.spooler.CallCount(SpoolerOp::PauseJob), c.mode == sim::DeliveryMode::Direct ? 0 : 2)
            << "each job paused at its start";
        if (!c.firmwareArrives) {
            EXPECT_NE(run.spooler.Jobs().at(1).fate, sim::JobFate::Queued) << "the firmware job left queued";
        }
    }
}

// Another program's document that came in after the last look, while the firmware
// job started, would print first and be flashed: the firmware job is deleted instead.
TEST(UpdateWithEmbosser, ADocumentThatCameInAsTheFirmwareJobStartedIsNotFlashedFirst) {
    EmbosserRun run;
    JobId letter = 0;
    run.spooler.OnCall(SpoolerOp::BeginDocument, 2,
                       [&] { letter = run.spooler.AddForeignDocument(L"Dovrex", {'H', 'i'}, false); });
    // Should the run poll after all, the letter is complete by its first flash query.
    run.spooler.OnCall(SpoolerOp::ReadDriverData, 6, [&] { run.spooler.CompleteDocument(letter); });
    run.Run();
    EXPECT_EQ(run.MessageTexts(), Texts{expected::kForeignDocument});
    EXPECT_EQ(run.dialog.Position(), 0);
    EXPECT_EQ(run.spooler.Jobs().back().fate, sim::JobFate::Deleted) << "the firmware job";
    run.spooler.CompleteDocument(letter);
    EXPECT_FALSE(Holds(run.model.Jobs(), SyntheticImage())) << "the firmware went out after all";
}

// A job that is printing when the run ends is left to finish: cutting it off would
// leave part of an image at the embosser.
TEST(UpdateWithEmbosser, AJobThatIsPrintingIsLeftToFinish) {
    EmbosserRun run;
    // The port stops reading at the re-check: the firmware starts printing and hangs there.
    run.spooler.OnCall(SpoolerOp::ReadDriverData, 5, [&] { run.spooler.SetPortStalled(L"Dovrex", true); });
    run.Run();
    EXPECT_EQ(run.MessageTexts(), Texts{expected::kNotFinished});
    const sim::CapturedJob firmware = run.spooler.Jobs().at(1);
    EXPECT_EQ(firmware.fate, sim::JobFate::Queued) << "a printing job was deleted";
    EXPECT_TRUE(firmware.printing);
    run.spooler.SetPortStalled(L"Dovrex", false);
    EXPECT_TRUE(run.model.FirmwareReceived() == SyntheticImage()) << "the firmware arrives whole";
}

// At the fiftieth flash query the embosser may still be writing: a query that shows
// more progress than ever before doesn't count, and the flash is never cut short.
TEST(UpdateWithEmbosser, AnEmbosserStillWritingAtTheFiftiethQueryFinishes) {
    sim::EmbosserScript script;
    script.writePolls = 90;  // progress rises at every query
    EmbosserRun run(script);
    run.Run();
    EXPECT_EQ(run.MessageTexts(), Texts{expected::kSuccess});
    EXPECT_EQ(run.clock.Pauses().size(), 3 + 1 + 2 + 90 + 1u) << "negotiation, settle, erase, write, idle";
    EXPECT_TRUE(run.model.ReportedFinishedFlash());
}

// An exception on the worker (memory that can't be had, say) is caught in the run:
// its jobs removed, the printer closed, the device's work ended, the user told.
TEST(UpdateWithEmbosser, AnExceptionOnTheWorkerEndsTheRunWithItsCleanUpAndAMessage) {
    const struct {
        const char* what;
        SpoolerOp op;
        int nth;
        bool firmwareArrives;
    } cases[] = {
        {"writing the firmware", SpoolerOp::Write, 2, false},
        {"ending the firmware's document", SpoolerOp::EndDocument, 2, false},
        {"reading the status while flashing", SpoolerOp::ReadDriverData, 8, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EmbosserRun run;
        run.spooler.OnCall(c.op, c.nth, [] { throw std::bad_alloc(); });
        EXPECT_NO_THROW(run.Run());
        ASSERT_EQ(run.MessageTexts(), Texts{expected::kRunFailed});
        EXPECT_EQ(run.dialog.Messages()[0].caption, L"Error");
        EXPECT_EQ(run.dialog.Position(), 0);
        EXPECT_EQ(run.handlesAtMessage, std::vector<int>{0});
        EXPECT_EQ(Holds(run.model.Jobs(), SyntheticImage()), c.firmwareArrives);
        EXPECT_EQ(run.spooler.QueuedJobIds(L"Dovrex"), std::vector<JobId>{});
    }
}

class FakeClock : public MonotonicClock {
public:
    std::uint64_t NowMs() const override { return now; }
    std::atomic<std::uint64_t> now{1000};
};

// A spooler call that hangs is told once, a minute after it started, with the stage
// the run was in; if it returns, that is told once, and the run goes on to its own end.
TEST(UpdateWithEmbosser, ACallThatHangsIsToldOnceAfterAMinuteAndTheRunGoesOn) {
    const struct {
        const char* what;
        SpoolerOp op;
        int nth;
        const wchar_t* message;
    } cases[] = {
        {"a status query in negotiation", SpoolerOp::ReadDriverData, 3, expected::kStuckBeforeFirmware},
        {"writing the service-mode job", SpoolerOp::Write, 1, expected::kStuckBeforeFirmware},
        {"ending the firmware's document", SpoolerOp::EndDocument, 2, expected::kStuckAfterFirmware},
        // Once it is let go, the embosser may be writing it: no advice to switch it off.
        {"resuming the firmware job", SpoolerOp::ResumeJob, 2, expected::kStuckWhileWriting},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EmbosserRun run;
        FakeClock clock;
        StuckCallWatch watch(clock);
        run.services.callWatch = &watch;
        const auto gate = run.spooler.BlockCall(c.op, c.nth);
        // Every status query takes 10 s: the run's calls add up to over a minute, and
        // none of them alone is told.
        run.spooler.OnCall(SpoolerOp::ReadDriverData, 0, [&] {
            clock.now += 10000;
            RunStage stage{};
            EXPECT_FALSE(watch.TakeStuckReport(&stage));
        });
        std::thread::id workerId;
        std::thread worker([&] {
            workerId = std::this_thread::get_id();
            UpdateThreadProc(run.context);
        });
        ASSERT_TRUE(gate->WaitUntilEntered());
        RunStage stage{};
        clock.now += kStuckCallMs - 1;
        EXPECT_FALSE(watch.TakeStuckReport(&stage)) << "told before a minute";
        clock.now += 1;
        EXPECT_TRUE(watch.TakeStuckReport(&stage));
        EXPECT_EQ(StuckCallMessage(stage).text, c.message);
        EXPECT_EQ(StuckCallMessage(stage).caption, L"Error");
        EXPECT_EQ(StuckCallMessage(stage).icon, MessageIcon::Warning);
        clock.now += 10 * kStuckCallMs;
        EXPECT_FALSE(watch.TakeStuckReport(&stage)) << "the same call told twice";
        EXPECT_FALSE(watch.TakeReturnReport()) << "told back before it returned";
        gate->Release();
        worker.join();
        EXPECT_TRUE(watch.TakeReturnReport());
        EXPECT_FALSE(watch.TakeReturnReport()) << "its return told twice";
        EXPECT_EQ(run.MessageTexts(), Texts{expected::kSuccess});
        EXPECT_FALSE(run.busy);
        run.ExpectAwakeWhileTheDeviceWorks(workerId);
        EXPECT_GE(clock.now - 1000 - 11 * kStuckCallMs, kStuckCallMs) << "the calls took under a minute";
    }
}

}  // namespace
}  // namespace reflasher::fakes
