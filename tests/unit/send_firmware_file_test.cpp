// Sending the chosen firmware file: one read, one write of the whole file, and the
// two messages for what can go wrong on the way.
#include <gtest/gtest.h>

#include "tests/unit/UpdateHarness.h"

namespace reflasher::fakes {
namespace {

using Texts = std::vector<std::wstring>;

const std::wstring kPath = L"C:\\firmware\\dovrex.hex";
constexpr std::uint64_t kFourGiB = 0x100000000ull;

std::vector<unsigned char> Pattern(std::size_t size) {
    std::vector<unsigned char> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(i * 7 + 3);
    return bytes;
}

// Files of the in-memory file system, by how they behave.
MemoryFileSpec File(std::vector<unsigned char> bytes) {
    MemoryFileSpec spec;
    spec.bytes = std::move(bytes);
    return spec;
}
MemoryFileSpec Locked(std::vector<unsigned char> bytes) {
    MemoryFileSpec spec = File(std::move(bytes));
    spec.lockedElsewhere = true;
    return spec;
}
MemoryFileSpec ReadsShort(std::vector<unsigned char> bytes, std::size_t by) {
    MemoryFileSpec spec = File(std::move(bytes));
    spec.readShortBy = by;
    return spec;
}
MemoryFileSpec ClaimsLength(std::vector<unsigned char> bytes, std::uint64_t length) {
    MemoryFileSpec spec = File(std::move(bytes));
    spec.claimedLength = length;
    return spec;
}
MemoryFileSpec ReadFails(std::vector<unsigned char> bytes) {
    MemoryFileSpec spec = File(std::move(bytes));
    spec.readFails = true;
    return spec;
}
MemoryFileSpec LengthFails(std::vector<unsigned char> bytes) {
    MemoryFileSpec spec = File(std::move(bytes));
    spec.lengthFails = true;
    return spec;
}

// A printer with a job and page open, as the run has it when it calls SendFirmwareFile.
struct OpenPage : UpdateHarness {
    PrinterHandle printer = 0;
    OpenPage() {
        embedded.image.reset();
        dialog.firmwarePath = kPath;
        spooler.AddPrinter(Embosser());
        spooler.OpenPrinter(L"Dovrex", &printer, {L"RAW", kPrinterAllAccess});
        spooler.StartDocPrinter(printer, {L"", L"", L"RAW"});
        spooler.StartPagePrinter(printer);
    }
    void Send() {
        SendFirmwareFile(context, printer);
        spooler.EndPagePrinter(printer);
        spooler.EndDocPrinter(printer);
        spooler.ClosePrinter(printer);
    }
    sim::CapturedJob Job() const { return spooler.Jobs().at(0); }
};

TEST(SendFirmwareFile, SendsTheWholeFileInOneReadAndOneWrite) {
    OpenPage page;
    page.files.files[kPath].bytes = Pattern(100000);
    page.Send();
    EXPECT_EQ(page.Job().writeSizes, std::vector<std::uint32_t>{100000});
    EXPECT_EQ(page.Job().bytes, Pattern(100000));
    EXPECT_EQ(page.files.readSizes, std::vector<std::size_t>{100000});
    EXPECT_EQ(page.allocator.requests, std::vector<std::size_t>{100000});
    EXPECT_TRUE(page.dialog.Messages().empty());
    EXPECT_EQ(page.files.openedPaths, Texts{kPath});
    EXPECT_EQ(page.files.openFiles, 0) << "file closed";
}

TEST(SendFirmwareFile, EachFaultGetsItsMessageAndNothingHalfSent) {
    const struct {
        const char* what;
        MemoryFileSpec file;
        bool present;
        std::size_t allocatorFailsFrom;
        std::optional<std::uint32_t> spoolerTakes;
        std::vector<std::uint32_t> writes;  // sizes passed to WritePrinter
        Texts messages;
        bool readTried;
    } cases[] = {
        {"empty file", File({}), true, SIZE_MAX, {}, {0}, {}, true},
        {"missing file", File({}), false, SIZE_MAX, {}, {}, {}, false},
        {"held open by another program", Locked(Pattern(10)), true, SIZE_MAX, {}, {}, {}, false},
        {"read comes one byte short", ReadsShort(Pattern(500), 1), true, SIZE_MAX, {},
         {}, {text::kWriteFailed}, true},
        {"file shorter than its length", ClaimsLength(Pattern(500), 600), true, SIZE_MAX, {}, {},
         {text::kWriteFailed}, true},
        {"read reports an OS error", ReadFails(Pattern(500)), true, SIZE_MAX, {}, {},
         {text::kWriteFailed}, true},
        {"length can't be had", LengthFails(Pattern(500)), true, SIZE_MAX, {}, {},
         {text::kWriteFailed}, false},
        {"buffer can't be allocated", File(Pattern(500)), true, 1, {}, {}, {text::kMallocFailure}, false},
        {"spooler takes less", File(Pattern(500)), true, SIZE_MAX, 499, {500}, {text::kWriteFailed},
         true},
        {"spooler takes nothing", File(Pattern(500)), true, SIZE_MAX, 0, {500}, {text::kWriteFailed},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        OpenPage page;
        if (c.present) page.files.files[kPath] = c.file;
        page.allocator = FailingAllocator(c.allocatorFailsFrom);
        if (c.spoolerTakes) page.spooler.LimitWrites(*c.spoolerTakes);
        page.Send();

        EXPECT_EQ(page.Job().writeSizes, c.writes);
        if (c.writes.empty()) {
            EXPECT_TRUE(page.Job().bytes.empty());
        }
        EXPECT_EQ(page.MessageTexts(), c.messages);
        for (const auto& message : page.dialog.Messages()) {
            EXPECT_EQ(message.caption, L"Error");
            EXPECT_EQ(message.icon, MessageIcon::Warning);
        }
        EXPECT_EQ(page.files.readSizes.empty(), !c.readTried);
        // The message comes while the file is still held, and the file is closed after.
        if (!c.messages.empty() && c.present && !c.file.lockedElsewhere) {
            EXPECT_EQ(page.filesAtMessage, std::vector<int>{1});
        }
        EXPECT_EQ(page.files.openFiles, 0);
    }
}

// WritePrinter counts in 32 bits: from 4 GiB on, the file can't go in one write, and
// is refused like a failed allocation without asking for the memory.
TEST(SendFirmwareFile, FilesOfFourGiBAndMoreAreRefusedBeforeAllocating) {
    const struct {
        std::uint64_t length;
        bool reachesAllocator;
    } cases[] = {
        {kFourGiB - 1, true},
        {kFourGiB, false},
        {kFourGiB + 1, false},
        {kFourGiB * 3 + 100, false},
        {UINT64_MAX, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        OpenPage page;
        page.files.files[kPath].claimedLength = c.length;
        page.allocator = FailingAllocator(1 << 20);  // a buffer of gigabytes is never had here
        page.Send();
        EXPECT_EQ(page.MessageTexts(), Texts{text::kMallocFailure});
        EXPECT_EQ(page.allocator.requests.size(), c.reachesAllocator ? 1u : 0u);
        if (c.reachesAllocator) {
            EXPECT_EQ(page.allocator.requests[0], c.length);
        }
        EXPECT_TRUE(page.files.readSizes.empty());
        EXPECT_TRUE(page.Job().writeSizes.empty());
        EXPECT_EQ(page.files.openFiles, 0);
    }
}

// Whatever the file does, the run goes on to flash polling and the device decides.
TEST(SendFirmwareFile, RunGoesOnToFlashPollingAfterEveryFileOutcome) {
    const struct {
        const char* what;
        MemoryFileSpec file;
        bool present;
        bool allocationFails;
        Texts messages;
    } cases[] = {
        {"good file", File(Pattern(2000)), true, false, {text::kSuccess}},
        {"locked file", Locked(Pattern(2000)), true, false, {text::kSuccess}},
        {"missing file", File({}), false, false, {text::kSuccess}},
        {"short read", ReadsShort(Pattern(2000), 5), true, false,
         {text::kWriteFailed, text::kSuccess}},
        {"OS error", ReadFails(Pattern(2000)), true, false,
         {text::kWriteFailed, text::kSuccess}},
        {"huge", ClaimsLength({}, kFourGiB * 2), true, false, {text::kMallocFailure, text::kSuccess}},
        {"no memory", File(Pattern(2000)), true, true, {text::kMallocFailure, text::kSuccess}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        UpdateHarness run;
        ScriptedDevice device(&run.log, {{1}, {1}, {6, 0}, {6, 60}, {0}});
        run.spooler.AddPrinter(Embosser(), &device);
        run.embedded.image.reset();
        run.dialog.firmwarePath = kPath;
        if (c.present) run.files.files[kPath] = c.file;
        if (c.allocationFails) run.allocator = FailingAllocator(1000);
        run.Run();
        EXPECT_EQ(run.MessageTexts(), c.messages);
        EXPECT_EQ(run.clock.Pauses(), (std::vector<std::uint32_t>{800, 2000, 1500, 1500, 1500}));
        EXPECT_EQ(run.spooler.OpenHandleCount(), 0);
        EXPECT_EQ(run.files.openFiles, 0);
    }
}

// A program that carries an image never touches the chosen file.
TEST(SendFirmwareFile, EmbeddedImageWinsOverAChosenFile) {
    UpdateHarness run;
    ScriptedDevice device(&run.log, {{1}, {1}, {6, 0}, {0}});
    run.spooler.AddPrinter(Embosser(), &device);
    run.dialog.firmwarePath = kPath;
    run.files.files[kPath].bytes = Pattern(300);
    run.Run();
    EXPECT_TRUE(run.files.openedPaths.empty());
    EXPECT_EQ(run.dialog.FirmwarePathCalls(), 0);
    ASSERT_EQ(device.Jobs().size(), 2u);
    EXPECT_EQ(device.Jobs()[1], SmallImage());
    EXPECT_EQ(run.MessageTexts(), Texts{text::kSuccess});
}

}  // namespace
}  // namespace reflasher::fakes
