// Sending the firmware: the bytes read and checked at Start go out in one write,
// and a write the spooler takes only part of is aborted, never ended, so that no
// part of an image reaches the embosser.
#include <gtest/gtest.h>

#include "sim/EmbosserModel.h"
#include "tests/unit/UpdateHarness.h"
#include "update/FirmwareFileOutcome.h"

namespace reflasher::fakes {
namespace {

using Texts = std::vector<std::wstring>;

std::vector<unsigned char> Pattern(std::size_t size) {
    std::vector<unsigned char> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(i * 7 + 3);
    return bytes;
}

struct FlashingRun : UpdateHarness {
    FlashingRun() { spooler.AddPrinter(Embosser(), &device); }
    ScriptedDevice device{&log, {{1}, {1}, {1}, {6, 0}, {6, 60}, {0}}};
};

TEST(SendFirmwareFile, SendsTheBytesReadAtStartInOneWrite) {
    FlashingRun run;
    run.ChooseFile(Pattern(100000));
    run.Run();
    const auto jobs = run.spooler.Jobs();
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[1].writeSizes, std::vector<std::uint32_t>{100000});
    ASSERT_EQ(run.device.Jobs().size(), 2u);
    EXPECT_EQ(run.device.Jobs()[1], Pattern(100000));
    EXPECT_EQ(run.MessageTexts(), Texts{expected::kSuccess});
}

// Whichever source, a short write is aborted and its held job deleted: the embosser
// gets nothing of it, even from a queue that prints while it spools (Windows'
// default), the user is told, and the run goes on to flash polling, where the
// embosser, waiting still for its firmware, decides.
TEST(SendFirmwareFile, AWriteTakenOnlyInPartIsAbortedFromEitherSource) {
    const struct {
        const char* what;
        bool embedded;
        std::uint32_t spoolerTakes;
        sim::DeliveryMode mode;
    } cases[] = {
        {"file, one byte short", false, 1999, sim::DeliveryMode::WhileSpooling},
        {"embedded image, one byte short", true, static_cast<std::uint32_t>(SmallFirmwareImage().size() - 1),
         sim::DeliveryMode::WhileSpooling},
        {"file, one byte short, printed after spooling", false, 1999, sim::DeliveryMode::AfterSpooled},
        {"file, nothing taken", false, 0, sim::DeliveryMode::WhileSpooling},
        {"embedded image, nothing taken", true, 0, sim::DeliveryMode::WhileSpooling},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        UpdateHarness run;
        sim::EmbosserModel model;
        run.spooler.AddPrinter(Embosser(), &model);
        run.spooler.SetDeliveryMode(L"Dovrex", c.mode);
        if (!c.embedded) run.ChooseFile(Pattern(2000));
        run.spooler.LimitWrites(c.spoolerTakes);
        run.Run();
        const bool serviceJobWhole = c.spoolerTakes >= sim::kServiceModeJob.size();
        ASSERT_EQ(model.Jobs().size(), serviceJobWhole ? 1u : 0u) << "a part of a job reached the embosser";
        const auto jobs = run.spooler.Jobs();
        if (!serviceJobWhole) {
            // The service-mode job's own short write is silent; the embosser never got ready.
            EXPECT_EQ(run.MessageTexts(), Texts{expected::kNeverReady});
            EXPECT_EQ(jobs.size(), 1u);
            continue;
        }
        EXPECT_EQ(run.MessageTexts(), (Texts{expected::kWriteFailed, expected::kNotFinished}));
        EXPECT_EQ(run.dialog.Messages()[0].caption, L"Error");
        EXPECT_EQ(run.dialog.Messages()[0].icon, MessageIcon::Warning);
        ASSERT_EQ(jobs.size(), 2u);
        EXPECT_EQ(jobs[1].fate, sim::JobFate::Aborted);
        EXPECT_EQ(run.spooler.CallCount(sim::SpoolerOp::EndDocument), 1);
        EXPECT_EQ(run.spooler.CallCount(sim::SpoolerOp::ResumeJob), 1) << "only the service-mode job";
        EXPECT_EQ(run.spooler.OpenHandleCount(), 0);
    }
}

// A program that carries an image never sends the chosen file: the image taken at
// Start is the embedded one, the file not even opened, and that is what goes.
TEST(SendFirmwareFile, EmbeddedImageWinsOverAChosenFile) {
    FlashingRun run;
    MemoryFileOpener files;
    files.files[L"C:\\fw.hex"].bytes = Pattern(300);
    FirmwareFileOutcome taken = TakeFirmwareImage(run.embedded, files, L"C:\\fw.hex");
    EXPECT_EQ(taken.refusal, FirmwareFileRefusal::None);
    EXPECT_TRUE(files.openedPaths.empty()) << "the chosen file was opened";
    EXPECT_EQ(taken.bytes.data, run.embedded.image->data());
    EXPECT_FALSE(taken.bytes.owned);
    run.image = std::move(taken.bytes);
    run.Run();
    ASSERT_EQ(run.device.Jobs().size(), 2u);
    EXPECT_EQ(run.device.Jobs()[1], SmallFirmwareImage());
    EXPECT_EQ(run.MessageTexts(), Texts{expected::kSuccess});
}

}  // namespace
}  // namespace reflasher::fakes
