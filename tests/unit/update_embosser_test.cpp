// Whole update runs against the simulated embosser: the synthetic firmware image
// arriving byte for byte, the model's scripted faults, and every spooler call
// failing in turn.
#include <gtest/gtest.h>

#include <string>

#include "device/DeviceStatus.h"
#include "sim/EmbosserModel.h"
#include "sim/SyntheticFirmware.h"
#include "tests/unit/UpdateHarness.h"

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

// Passes everything to the model and keeps the statuses it answered, as decoded.
class StatusTap : public sim::SimulatedDevice {
public:
    explicit StatusTap(sim::EmbosserModel& model) : model_(model) {}
    void OnJob(const std::vector<unsigned char>& bytes) override { model_.OnJob(bytes); }
    std::vector<unsigned char> OnStatusQuery() override {
        std::vector<unsigned char> bytes = model_.OnStatusQuery();
        StatusBuffer buffer{};
        std::copy_n(bytes.begin(), std::min(bytes.size(), buffer.size()), buffer.begin());
        statuses_.push_back(DecodeDeviceStatus(buffer, static_cast<std::uint32_t>(bytes.size())).status);
        return bytes;
    }
    bool ReportedFinishedFlash() const {
        bool working = false;
        for (int status : statuses_) {
            if (status == 6) working = true;
            if (status == 0 && working) return true;
        }
        return false;
    }

private:
    sim::EmbosserModel& model_;
    std::vector<int> statuses_;
};

enum class Source { Embedded, File };

struct EmbosserRun : UpdateHarness {
    explicit EmbosserRun(sim::EmbosserScript script = {}, Source source = Source::Embedded,
                         std::vector<unsigned char> image = SyntheticImage())
        : model(script), tap(model) {
        spooler.AddPrinter(Embosser(), &tap);
        if (source == Source::Embedded) {
            embedded.image = std::move(image);
        } else {
            ChooseFile(image);
        }
    }
    sim::EmbosserModel model;
    StatusTap tap;
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
        EXPECT_EQ(run.MessageTexts(), Texts{text::kSuccess});
        EXPECT_TRUE(run.tap.ReportedFinishedFlash());
        EXPECT_EQ(run.spooler.OpenHandleCount(), 0);
    }
}

// The program never judges the image: a damaged one goes out unchanged, and the
// device's "invalid" (2) is what the user is finally told.
TEST(UpdateWithEmbosser, DamagedImageIsSentUnchangedAndTheDeviceVerdictShown) {
    std::vector<unsigned char> damaged = SyntheticImage();
    damaged[5000] = damaged[5000] == 'A' ? 'B' : 'A';
    EmbosserRun run({}, Source::Embedded, damaged);
    run.Run();
    EXPECT_TRUE(run.model.FirmwareReceived() == damaged);
    EXPECT_FALSE(run.model.LastImageCheck().Valid());
    EXPECT_EQ(run.MessageTexts(), Texts{text::kInvalidHex});
    EXPECT_EQ(run.log.Only(L"sleep 1500").size(), 1u) << "the device's 2 ends polling at once";
}

TEST(UpdateWithEmbosser, EachScriptedFaultEndsWithItsMessage) {
    const struct {
        EmbosserFault fault;
        Texts messages;
    } cases[] = {
        {EmbosserFault::None, {text::kSuccess}},
        {EmbosserFault::NeverReady, {text::kNeverReady}},
        {EmbosserFault::LostAfterReady, {text::kRecheckError}},
        {EmbosserFault::FlashError, {text::kFlashDeviceError}},
        {EmbosserFault::UnknownError, {text::kUnknownError}},
        {EmbosserFault::WriteError, {text::kWriteError}},
        {EmbosserFault::SilentMidFlash, {text::kNotFinished}},
        {EmbosserFault::WrongMaker, {text::kNeverReady}},
        {EmbosserFault::WrongModel, {text::kNeverReady}},
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
        EXPECT_EQ(c.fault == EmbosserFault::None, run.tap.ReportedFinishedFlash());
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
        SpoolerOp::EndDocument, SpoolerOp::GetQueueState,  SpoolerOp::ListQueuedJobs};
    int scenarios = 0;
    for (Source source : {Source::Embedded, Source::File}) {
        for (SpoolerOp op : ops) {
            int calls = 0;
            {
                EmbosserRun clean({}, source);
                clean.Run();
                ASSERT_EQ(clean.MessageTexts(), Texts{text::kSuccess});
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
                const bool success = std::find(shown.begin(), shown.end(), text::kSuccess) != shown.end();
                if (success) {
                    EXPECT_TRUE(run.tap.ReportedFinishedFlash());
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

}  // namespace
}  // namespace reflasher::fakes
