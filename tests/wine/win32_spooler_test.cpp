// The Win32 spooler adapter against Wine's real spooler: printers installed in
// this test's private prefix from the registry, a status string published as
// printer data, and jobs caught by tools/wine-job-sink.sh behind a mapped port.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "device/DeviceStatus.h"
#include "device/PrinterDiscovery.h"
#include "device/UsbPrinter.h"
#include "device/win32/Win32Spooler.h"
#include "sim/EmbosserModel.h"
#include "update/PrintQueue.h"
#include "sim/win32/wine/HostPaths.h"
#include "sim/win32/wine/JobFolder.h"
#include "sim/win32/wine/WinePrinters.h"

namespace reflasher {
namespace {

using wineprefix::WinePrinter;

const WinePrinter kEmbosser{L"Dovrex Embosser", L"USB001", L"Quillmar Dovrex"};
// Listed (discovery folds letter case) but refused when opened for an update.
const WinePrinter kLowerCasePort{L"Dovrex Lower Port", L"usb002", L"QUILLMAR DOVREX"};
const WinePrinter kParallel{L"Dovrex Parallel", L"LPT1:", L"Quillmar Dovrex"};
const WinePrinter kOtherMaker{L"Office Laser", L"USB003", L"Generic Laser"};

constexpr unsigned kJobTimeoutMs = 15000;

// Installed once for the whole program, before the first spooler call.
class PrinterEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        for (const WinePrinter& printer : {kEmbosser, kLowerCasePort, kParallel, kOtherMaker}) {
            ASSERT_TRUE(wineprefix::InstallPrinter(printer)) << "registry write failed";
        }
    }
};
::testing::Environment* const printerEnvironment =
    ::testing::AddGlobalTestEnvironment(new PrinterEnvironment);

// Forwards to the real adapter and keeps account of the handles it opened.
class CountingSpooler final : public Spooler {
public:
    std::set<PrinterHandle> open;
    int closedUnknown = 0;

    std::uint32_t PrinterListSize() override { return real_.PrinterListSize(); }
    std::vector<PrinterInfo> ListPrinters(void* buffer, std::uint32_t size) override {
        return real_.ListPrinters(buffer, size);
    }
    bool Open(const std::wstring& name, PrinterHandle* handle,
              const PrinterDefaults& defaults) override {
        const bool opened = real_.Open(name, handle, defaults);
        if (opened) open.insert(*handle);
        return opened;
    }
    std::uint32_t LastError() override { return real_.LastError(); }
    void Close(PrinterHandle handle) override {
        if (open.erase(handle) == 0) ++closedUnknown;
        real_.Close(handle);
    }
    std::uint32_t PrinterRecordSize(PrinterHandle handle) override {
        return real_.PrinterRecordSize(handle);
    }
    bool ReadPort(PrinterHandle handle, void* buffer, std::uint32_t size,
                  std::wstring* port) override {
        return real_.ReadPort(handle, buffer, size, port);
    }
    std::uint32_t ReadDriverData(PrinterHandle handle, const std::wstring& value,
                                 unsigned char* buffer, std::uint32_t size) override {
        return real_.ReadDriverData(handle, value, buffer, size);
    }
    JobId BeginDocument(PrinterHandle handle, const DocInfo& info) override {
        return real_.BeginDocument(handle, info);
    }
    bool BeginPage(PrinterHandle handle) override { return real_.BeginPage(handle); }
    std::uint32_t Write(PrinterHandle handle, const void* data, std::uint32_t count) override {
        return real_.Write(handle, data, count);
    }
    void EndPage(PrinterHandle handle) override { real_.EndPage(handle); }
    void EndDocument(PrinterHandle handle) override { real_.EndDocument(handle); }
    QueueState GetQueueState(PrinterHandle handle) override { return real_.GetQueueState(handle); }
    bool ListQueuedJobs(PrinterHandle handle, std::vector<QueuedJob>* jobs) override {
        return real_.ListQueuedJobs(handle, jobs);
    }
    bool DeleteJob(PrinterHandle handle, JobId job) override { return real_.DeleteJob(handle, job); }
    bool AbortDocument(PrinterHandle handle) override { return real_.AbortDocument(handle); }
    bool PauseJob(PrinterHandle handle, JobId job) override { return real_.PauseJob(handle, job); }
    bool ResumeJob(PrinterHandle handle, JobId job) override { return real_.ResumeJob(handle, job); }

private:
    Win32Spooler real_;
};

std::vector<PrinterInfo> EnumerateAll(Spooler& spooler) {
    const std::uint32_t size = spooler.PrinterListSize();
    std::vector<unsigned char> buffer(size);
    return spooler.ListPrinters(buffer.data(), size);
}

const PrinterInfo* FindPrinter(const std::vector<PrinterInfo>& printers, const std::wstring& name) {
    const auto it = std::find_if(printers.begin(), printers.end(),
                                 [&](const PrinterInfo& p) { return p.printerName == name; });
    return it == printers.end() ? nullptr : &*it;
}

// ---- Enumeration and discovery ---------------------------------------------------------

TEST(Win32SpoolerEnumeration, ListsEveryInstalledPrinterWithDriverAndPort) {
    Win32Spooler spooler;
    const std::uint32_t size = spooler.PrinterListSize();
    ASSERT_GT(size, 0u);
    std::vector<unsigned char> buffer(size);
    const std::vector<PrinterInfo> printers = spooler.ListPrinters(buffer.data(), size);

    for (const WinePrinter& expected : {kEmbosser, kLowerCasePort, kParallel, kOtherMaker}) {
        const PrinterInfo* found = FindPrinter(printers, expected.name);
        ASSERT_NE(found, nullptr) << "not enumerated";
        EXPECT_EQ(found->portName, expected.port);
        EXPECT_EQ(found->driverName, expected.driver);
    }
}

TEST(Win32SpoolerEnumeration, TooSmallBufferYieldsNoPrinters) {
    Win32Spooler spooler;
    const std::uint32_t size = spooler.PrinterListSize();
    ASSERT_GT(size, 1u);
    std::vector<unsigned char> buffer(size - 1);
    EXPECT_TRUE(spooler.ListPrinters(buffer.data(), size - 1).empty());
}

// A failed call may still report a count; its records must not be read.
BOOL WINAPI FailingEnumPrinters(DWORD, LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD needed,
                                LPDWORD returned) {
    *needed = 4096;
    *returned = 3;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
}

TEST(Win32SpoolerEnumeration, FailedCallYieldsNoPrintersWhateverItReports) {
    WinspoolFunctions failing;
    failing.enumPrinters = &FailingEnumPrinters;
    Win32Spooler spooler(failing);
    std::vector<unsigned char> buffer(256, 0xCD);  // garbage where records would be
    EXPECT_TRUE(spooler.ListPrinters(buffer.data(), 256).empty());
}

// EnumJobsW as different spoolers answer it; Wine's is a stub, so the records are
// read only here. The queue it reports is set by each case.
struct FakeQueue {
    std::vector<DWORD> jobs;  // the ids in the queue; each one's Status is its id times 16
    bool stub = false;        // fails without a word, as Wine's does
    bool growsMeanwhile = false;
};
FakeQueue fakeQueue;

BOOL WINAPI FakeEnumJobs(HANDLE, DWORD, DWORD, DWORD level, LPBYTE buffer, DWORD size,
                         LPDWORD needed, LPDWORD returned) {
    *needed = 0;
    *returned = 0;
    if (fakeQueue.stub || level != 1) return FALSE;  // the error code stays as it was
    *needed = static_cast<DWORD>(fakeQueue.jobs.size() * sizeof(JOB_INFO_1W));
    if (size < *needed || (buffer != nullptr && fakeQueue.growsMeanwhile)) {
        if (fakeQueue.growsMeanwhile) *needed += sizeof(JOB_INFO_1W);
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto* records = reinterpret_cast<JOB_INFO_1W*>(buffer);
    for (DWORD id : fakeQueue.jobs) {
        JOB_INFO_1W record{};
        record.JobId = id;
        record.Status = id * 16;
        records[(*returned)++] = record;
    }
    return TRUE;
}

TEST(Win32SpoolerJobList, GivesTheQueuedJobsInOrderOrNothingWhenTheListCantBeHad) {
    struct ListCase {
        FakeQueue queue;
        bool listed;
        std::vector<JobId> ids;
        const char* what;
    };
    const ListCase cases[] = {
        {{{}, false, false}, true, {}, "an empty queue"},
        {{{12, 9, 15}, false, false}, true, {12, 9, 15}, "three documents"},
        {{{12}, true, false}, false, {}, "a stub that fails and says nothing"},
        {{{12}, false, true}, false, {}, "a document came in between size and list"},
    };
    WinspoolFunctions fake;
    fake.enumJobs = &FakeEnumJobs;
    Win32Spooler spooler(fake);
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.what);
        fakeQueue = c.queue;
        // What the last failed call left behind must not read as the size query's answer.
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        std::vector<QueuedJob> jobs{{99, 0}};
        EXPECT_EQ(spooler.ListQueuedJobs(0x1234, &jobs), c.listed);
        if (c.listed) {
            std::vector<JobId> ids;
            for (const QueuedJob& job : jobs) {
                ids.push_back(job.id);
                EXPECT_EQ(job.status, job.id * 16) << "the record's Status";
            }
            EXPECT_EQ(ids, c.ids);
        }
    }
}

// winspool.drv (or any of its functions) missing: every call fails as the call would.
TEST(Win32SpoolerWithoutWinspool, ListsNothingOpensNothingAndSendsNothing) {
    const WinspoolFunctions none;
    Win32Spooler spooler(none);
    EXPECT_EQ(spooler.PrinterListSize(), 0u);
    unsigned char buffer[64] = {};
    EXPECT_TRUE(spooler.ListPrinters(buffer, sizeof buffer).empty());
    EXPECT_TRUE(DiscoverEmbossers(spooler).embossers.empty());
    PrinterHandle handle = 0;
    EXPECT_FALSE(spooler.Open(kEmbosser.name, &handle, UpdatePrinterDefaults()));
    EXPECT_EQ(spooler.LastError(), static_cast<std::uint32_t>(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(spooler.PrinterRecordSize(handle), 0u);
    std::wstring port;
    EXPECT_FALSE(spooler.ReadPort(handle, buffer, sizeof buffer, &port));
    EXPECT_EQ(spooler.ReadDriverData(handle, L"QMSTSSTR", buffer, sizeof buffer), 0u);
    EXPECT_EQ(spooler.BeginDocument(handle, DocInfo{}), 0u);
    EXPECT_FALSE(spooler.BeginPage(handle));
    EXPECT_EQ(spooler.Write(handle, buffer, sizeof buffer), 0u);
    spooler.EndPage(handle);
    spooler.EndDocument(handle);
    // A queue that can't be looked at tells nothing, and holds nothing to remove.
    const QueueState queue = spooler.GetQueueState(handle);
    EXPECT_FALSE(queue.status || queue.attributes || queue.jobCount);
    std::vector<QueuedJob> jobs{{7, 0}};
    EXPECT_FALSE(spooler.ListQueuedJobs(handle, &jobs));
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].id, 7u);
    EXPECT_FALSE(spooler.DeleteJob(handle, 7));
    EXPECT_FALSE(spooler.PauseJob(handle, 7));
    EXPECT_FALSE(spooler.ResumeJob(handle, 7));
    EXPECT_FALSE(spooler.AbortDocument(handle));
    spooler.Close(handle);
}

TEST(Win32SpoolerDiscovery, ListsTheEmbossersOnUsbPortsInEnumerationOrder) {
    Win32Spooler spooler;
    const Discovery found = DiscoverEmbossers(spooler);

    std::vector<std::wstring> expected;
    for (const PrinterInfo& printer : EnumerateAll(spooler)) {
        if (printer.printerName == kEmbosser.name || printer.printerName == kLowerCasePort.name) {
            expected.push_back(printer.printerName);
        }
    }
    ASSERT_EQ(expected.size(), 2u);
    EXPECT_EQ(found.outcome, DiscoveryOutcome::Enumerated);
    ASSERT_EQ(found.embossers.size(), 2u);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(found.embossers[i].printerName, expected[i]);
        // The port as the spooler spells it: the embosser's lock is named after it.
        EXPECT_EQ(found.embossers[i].portName,
                  expected[i] == kEmbosser.name ? kEmbosser.port : kLowerCasePort.port);
    }
}

// Wine reads the Printers key on every enumeration and open: a printer written to
// the registry while the program runs is there at the next call, and gone once removed.
TEST(Win32SpoolerEnumeration, SeesPrintersInstalledAndRemovedWhileRunning) {
    Win32Spooler spooler;
    const WinePrinter late{L"Late Arrival", L"USB009", L"Quillmar Dovrex"};
    ASSERT_EQ(FindPrinter(EnumerateAll(spooler), late.name), nullptr);

    ASSERT_TRUE(wineprefix::InstallPrinter(late));
    const std::vector<PrinterInfo> after = EnumerateAll(spooler);
    const PrinterInfo* found = FindPrinter(after, late.name);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->portName, late.port);
    PrinterHandle handle = 0;
    ASSERT_TRUE(spooler.Open(late.name, &handle, UpdatePrinterDefaults()));
    spooler.Close(handle);

    ASSERT_TRUE(wineprefix::RemovePrinter(late.name));
    EXPECT_EQ(FindPrinter(EnumerateAll(spooler), late.name), nullptr);
    EXPECT_FALSE(spooler.Open(late.name, &handle, UpdatePrinterDefaults()));
}

// ---- Opening for an update ---------------------------------------------------------------

struct OpenCase {
    const wchar_t* printer;
    bool staysOpen;
};

TEST(Win32SpoolerOpen, KeepsOnlyAPrinterOnAnUpperCaseUsbPortOpen) {
    const OpenCase cases[] = {
        {L"Dovrex Embosser", true},
        {L"Dovrex Lower Port", false},
        {L"Dovrex Parallel", false},
        {L"No Such Printer", false},
    };
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "printer " << std::string(c.printer, c.printer + wcslen(c.printer)));
        CountingSpooler spooler;
        const PrinterHandle untouched = 0xDEAD;
        PrinterHandle handle = untouched;
        EXPECT_EQ(OpenUsbPrinter(spooler, c.printer, &handle, UpdatePrinterDefaults()),
                  c.staysOpen);
        EXPECT_EQ(spooler.closedUnknown, 0);
        if (c.staysOpen) {
            ASSERT_EQ(spooler.open.size(), 1u);
            EXPECT_EQ(*spooler.open.begin(), handle);
            spooler.Close(handle);
        } else {
            EXPECT_EQ(handle, untouched);
        }
        EXPECT_TRUE(spooler.open.empty()) << "a printer was left open";
    }
}

// OpenUsbPrinter acts on the error code of a failed open (access denied earns a
// second open with use access), so the adapter must give winspool's own.
TEST(Win32SpoolerOpen, ReportsWhyAnOpenFailed) {
    Win32Spooler spooler;
    PrinterHandle handle = 0;
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(spooler.Open(L"No Such Printer", &handle, UpdatePrinterDefaults()));
    EXPECT_EQ(spooler.LastError(), static_cast<std::uint32_t>(ERROR_INVALID_PRINTER_NAME));
}

// ---- The status string -------------------------------------------------------------------

class Win32SpoolerStatus : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(OpenUsbPrinter(spooler_, kEmbosser.name, &printer_, UpdatePrinterDefaults()));
    }
    void TearDown() override {
        if (printer_ != 0) spooler_.Close(printer_);
        wineprefix::ClearStatus(kEmbosser.name);
        wineprefix::SetQueueAttributes(kEmbosser.name, kLocal);
        wineprefix::ClearQueueStatus(kEmbosser.name);
    }
    DeviceStatus Query() { return QueryDeviceStatus(spooler_, printer_); }

    static constexpr unsigned long kLocal = 0x40;  // PRINTER_ATTRIBUTE_LOCAL

    Win32Spooler spooler_;
    PrinterHandle printer_ = 0;
};

struct StatusCase {
    std::vector<unsigned char> stored;
    std::int32_t status;
    std::int32_t progress;
    const char* what;
};

std::vector<unsigned char> Text(const std::string& text, bool zero = true) {
    std::vector<unsigned char> bytes(text.begin(), text.end());
    if (zero) bytes.push_back(0);
    return bytes;
}

// A full status string padded to `total` bytes with a filler field before F.
std::vector<unsigned char> PaddedStatus(std::size_t total, bool zero) {
    const std::string head = "MFG:Quillmar;MDL:Dovrex Tactigraph;DES:";
    const std::string tail = ";F:0642;";
    const std::size_t textLength = total - (zero ? 1 : 0);
    return Text(head + std::string(textLength - head.size() - tail.size(), 'x') + tail, zero);
}

TEST_F(Win32SpoolerStatus, DecodesWhatThePrinterPublishes) {
    const StatusCase cases[] = {
        {Text("MFG:Quillmar;CMD:PJL;MDL:Dovrex Tactigraph;CLS:PRINTER;F:0642;"), 6, 42, "writing"},
        {Text("mfg:quillmar;mdl:dovrex;f:0100;"), 1, 0, "lower case"},
        {Text("MFG:Quillmar;MDL:Other;F:0100;"), -1, 0, "another model"},
        {PaddedStatus(260, true), 6, 42, "259 characters and the zero byte fill the buffer"},
        {PaddedStatus(260, false), -1, 0, "260 bytes without a zero byte"},
        {PaddedStatus(300, true), -1, 0, "longer than the buffer"},
        {{}, -1, 0, "empty value"},
    };
    for (const StatusCase& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(wineprefix::SetStatusBytes(kEmbosser.name, c.stored));
        const DeviceStatus status = Query();
        EXPECT_EQ(status.status, c.status);
        EXPECT_EQ(status.progress, c.progress);
    }
}

// Wine reports a missing value with the buffer's size as the count and the buffer
// untouched, so only a zeroed buffer makes it read as "no answer".
TEST_F(Win32SpoolerStatus, MissingValueMeansNoAnswer) {
    ASSERT_TRUE(wineprefix::ClearStatus(kEmbosser.name));
    const DeviceStatus status = Query();
    EXPECT_EQ(status.status, -1);
    EXPECT_EQ(status.progress, 0);
}

// A driver that has nothing to say publishes an empty value: the count is then 0.
TEST_F(Win32SpoolerStatus, EmptyValueReportsNoBytes) {
    ASSERT_TRUE(wineprefix::SetStatusBytes(kEmbosser.name, {}));
    StatusBuffer buffer{};
    EXPECT_EQ(spooler_.ReadDriverData(printer_, L"QMSTSSTR", buffer.data(), kStatusBufferSize), 0u);
}

TEST_F(Win32SpoolerStatus, ReportsTheStoredBytesAndTheirCount) {
    const std::vector<unsigned char> stored = Text("MFG:Quillmar;MDL:Dovrex;F:0100;");
    ASSERT_TRUE(wineprefix::SetStatusBytes(kEmbosser.name, stored));
    StatusBuffer buffer{};
    ASSERT_EQ(spooler_.ReadDriverData(printer_, L"QMSTSSTR", buffer.data(), kStatusBufferSize),
              stored.size());
    EXPECT_TRUE(std::equal(stored.begin(), stored.end(), buffer.begin()));
}

// The update run polls one open handle while the driver rewrites the value.
TEST_F(Win32SpoolerStatus, EachQueryReadsTheValueAfresh) {
    const std::pair<const char*, std::int32_t> sequence[] = {
        {"MFG:Quillmar;MDL:Dovrex;F:0000;", 0},
        {"MFG:Quillmar;MDL:Dovrex;F:0100;", 1},
        {"MFG:Quillmar;MDL:Dovrex;F:0600;", 6},
        {"MFG:Quillmar;MDL:Dovrex;F:0000;", 0},
    };
    for (const auto& [text, status] : sequence) {
        ASSERT_TRUE(wineprefix::SetStatusText(kEmbosser.name, text));
        EXPECT_EQ(Query().status, status) << text;
    }
}

// ---- The queue's own state ----------------------------------------------------------------

struct QueueCase {
    unsigned long attributes;            // the printer's registry value "Attributes"
    std::optional<unsigned long> status;  // its value "Status"; none: not there
    QueueRefusal refusal;                // what the run's check makes of it
    const char* what;
};

// Wine reads the level-2 Attributes and the level-6 status word from the printer's
// registry values at every call, so the queue states Windows keeps can be put there
// and the run's check sees each on the handle it holds open. Wine keeps no count of
// documents: cJobs is always 0.
TEST_F(Win32SpoolerStatus, TheQueueStateIsReadAfreshAndRefusedOnlyOnEvidence) {
    const QueueCase cases[] = {
        {kLocal, std::nullopt, QueueRefusal::None, "as installed, no Status value"},
        {kLocal | kAttributeWorkOffline, 0, QueueRefusal::Offline, "set to work offline"},
        {kLocal, queue_status::kPaused, QueueRefusal::Paused, "paused"},
        {kLocal, queue_status::kOffline, QueueRefusal::Offline, "status offline"},
        {kLocal, queue_status::kPaperJam, QueueRefusal::Fault, "a paper jam"},
        {kLocal | kAttributeWorkOffline, queue_status::kPaused, QueueRefusal::Offline,
         "offline and paused: offline is said"},
        {kLocal, 0, QueueRefusal::None, "back to normal"},
    };
    ASSERT_TRUE(wineprefix::ClearStatus(kEmbosser.name));  // the device says nothing
    for (const QueueCase& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(wineprefix::SetQueueAttributes(kEmbosser.name, c.attributes));
        ASSERT_TRUE(c.status ? wineprefix::SetQueueStatus(kEmbosser.name, *c.status)
                             : wineprefix::ClearQueueStatus(kEmbosser.name));
        const QueueState queue = spooler_.GetQueueState(printer_);
        EXPECT_EQ(queue.status, std::optional<std::uint32_t>(c.status.value_or(0)));
        EXPECT_EQ(queue.attributes, std::optional<std::uint32_t>(c.attributes));
        EXPECT_EQ(queue.jobCount, std::optional<std::uint32_t>(0));
        EXPECT_EQ(RunJobs().CheckBeforeSending(spooler_, printer_), c.refusal);
    }
}

// An embosser that already reports service mode or flash work takes a new
// service-mode job as its firmware: the same check refuses it.
TEST_F(Win32SpoolerStatus, AnEmbosserAlreadyInAnUpdateIsRefused) {
    const std::pair<const char*, QueueRefusal> sequence[] = {
        {"MFG:Quillmar;MDL:Dovrex;F:0000;", QueueRefusal::None},
        {"MFG:Quillmar;MDL:Dovrex;F:0100;", QueueRefusal::DeviceUpdating},
        {"MFG:Quillmar;MDL:Dovrex;F:0642;", QueueRefusal::DeviceUpdating},
        {"MFG:Quillmar;MDL:Dovrex;F:0200;", QueueRefusal::None},
    };
    for (const auto& [text, refusal] : sequence) {
        ASSERT_TRUE(wineprefix::SetStatusText(kEmbosser.name, text));
        EXPECT_EQ(RunJobs().CheckBeforeSending(spooler_, printer_), refusal) << text;
    }
}

// ---- Raw jobs ----------------------------------------------------------------------------

class Win32SpoolerJobs : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring sink = wineprefix::EnvironmentValue(L"REFLASHER_JOB_SINK");
        const std::wstring root = wineprefix::EnvironmentValue(L"REFLASHER_JOB_DIR");
        ASSERT_FALSE(sink.empty()) << "REFLASHER_JOB_SINK is not set";
        ASSERT_FALSE(root.empty()) << "REFLASHER_JOB_DIR is not set";
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = info->name();
        jobs_ = std::make_unique<wineprefix::JobFolder>(root + L"/" +
                                                      std::wstring(name.begin(), name.end()));
        ASSERT_TRUE(jobs_->Reset());
        ASSERT_TRUE(wineprefix::MapPort(kEmbosser.port, jobs_->SinkCommand(sink)));
        ASSERT_TRUE(OpenUsbPrinter(spooler_, kEmbosser.name, &printer_, UpdatePrinterDefaults()));
    }
    void TearDown() override {
        if (printer_ != 0) spooler_.Close(printer_);
    }

    // One job of one page, as the update run sends it; the count WritePrinter reported.
    // The job's id is kept in lastJob_.
    std::uint32_t SendJob(const std::vector<unsigned char>& bytes) {
        lastJob_ = spooler_.BeginDocument(printer_, DocInfo{L"", L"", L"RAW"});
        if (lastJob_ == 0) return 0;
        std::uint32_t written = 0;
        if (spooler_.BeginPage(printer_)) {
            written =
                spooler_.Write(printer_, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
            spooler_.EndPage(printer_);
        }
        spooler_.EndDocument(printer_);
        return written;
    }

    Win32Spooler spooler_;
    PrinterHandle printer_ = 0;
    JobId lastJob_ = 0;
    std::unique_ptr<wineprefix::JobFolder> jobs_;
};

std::vector<unsigned char> ServiceModeJob() {
    return std::vector<unsigned char>(sim::kServiceModeJob.begin(), sim::kServiceModeJob.end());
}

// Every byte value, in an order no text conversion would keep.
std::vector<unsigned char> PseudoRandomBytes(std::size_t size) {
    std::vector<unsigned char> bytes(size);
    std::uint32_t state = 0x2545F491u;
    for (unsigned char& b : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        b = static_cast<unsigned char>(state >> 24);
    }
    return bytes;
}

TEST_F(Win32SpoolerJobs, ServiceModeJobArrivesByteForByte) {
    const std::vector<unsigned char> job = ServiceModeJob();
    ASSERT_EQ(job.size(), 40u);
    EXPECT_EQ(SendJob(job), 40u);
    const auto received = jobs_->WaitForJob(1, kJobTimeoutMs);
    ASSERT_TRUE(received.has_value()) << "no job reached the port";
    EXPECT_EQ(*received, job);
}

// The firmware goes out as one write of the whole image, right after the service-mode job.
TEST_F(Win32SpoolerJobs, ConsecutiveJobsArriveWholeAndInOrder) {
    const std::vector<unsigned char> first = ServiceModeJob();
    const std::vector<unsigned char> image = PseudoRandomBytes(1140906);
    EXPECT_EQ(SendJob(first), first.size());
    const JobId firstJob = lastJob_;
    EXPECT_EQ(SendJob(image), image.size());
    // Each job has an id of its own, for the run to remove it should it wait in the queue.
    EXPECT_NE(firstJob, 0u);
    EXPECT_NE(lastJob_, 0u);
    EXPECT_NE(lastJob_, firstJob);

    const auto one = jobs_->WaitForJob(1, kJobTimeoutMs);
    const auto two = jobs_->WaitForJob(2, kJobTimeoutMs);
    ASSERT_TRUE(one.has_value());
    ASSERT_TRUE(two.has_value());
    EXPECT_EQ(*one, first);
    EXPECT_TRUE(*two == image) << "image arrived with " << two->size() << " bytes, or changed";
    EXPECT_EQ(jobs_->JobCount(), 2);
}

// What Wine's spooler does with the calls that manage the queue. It sends a job
// inside EndDocPrinter and keeps no list: once ended, a job is gone and can't be
// deleted, and the run's clean-up asks in vain but harmlessly.
TEST_F(Win32SpoolerJobs, ASentJobIsGoneFromTheQueue) {
    const std::vector<unsigned char> job = ServiceModeJob();
    EXPECT_EQ(SendJob(job), job.size());
    ASSERT_TRUE(jobs_->WaitForJob(1, kJobTimeoutMs).has_value());
    // As the run's check asks: the queue's state first, whose size queries fail by design.
    EXPECT_EQ(spooler_.GetQueueState(printer_).jobCount, std::optional<std::uint32_t>(0));
    std::vector<QueuedJob> queued{{99, 0}};
    const bool listed = spooler_.ListQueuedJobs(printer_, &queued);
    EXPECT_FALSE(listed) << "Wine's EnumJobsW is a stub";
    EXPECT_FALSE(spooler_.DeleteJob(printer_, lastJob_));
    // Without a job list from the first look on, nothing is held (Wine would ignore
    // the pause anyway), and only a document count beyond the run's own would tell of
    // another program's document.
    RunJobs run;
    EXPECT_EQ(run.CheckBeforeSending(spooler_, printer_), QueueRefusal::None);
    EXPECT_FALSE(run.CanHold());
    run.Add(lastJob_, false);
    EXPECT_FALSE(run.ForeignDocumentJoined(spooler_, printer_));
    run.RemoveQueued(spooler_, printer_);
    EXPECT_EQ(jobs_->JobCount(), 1);
}

// A document still being written is one Wine knows: SetJobW takes the delete but
// ignores it, and the document goes out when it ends.
TEST_F(Win32SpoolerJobs, DeletingAnOpenDocumentIsTakenButIgnored) {
    const std::vector<unsigned char> job = ServiceModeJob();
    const JobId id = spooler_.BeginDocument(printer_, DocInfo{L"", L"", L"RAW"});
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(spooler_.BeginPage(printer_));
    EXPECT_EQ(spooler_.Write(printer_, job.data(), static_cast<std::uint32_t>(job.size())),
              job.size());
    EXPECT_TRUE(spooler_.DeleteJob(printer_, id));
    spooler_.EndPage(printer_);
    spooler_.EndDocument(printer_);
    const auto received = jobs_->WaitForJob(1, kJobTimeoutMs);
    ASSERT_TRUE(received.has_value());
    EXPECT_EQ(*received, job);
}

// The hold as Wine's spooler takes it: SetJobW says yes to the pause of a document
// still open and ignores it, so the document goes out when it ends, held or not;
// the resume that follows finds the job gone. Under Wine a run goes on as before.
TEST_F(Win32SpoolerJobs, PausingAnOpenDocumentIsTakenButWineSendsItAtItsEnd) {
    const std::vector<unsigned char> job = ServiceModeJob();
    const JobId id = spooler_.BeginDocument(printer_, DocInfo{L"", L"", L"RAW"});
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(spooler_.PauseJob(printer_, id));
    ASSERT_TRUE(spooler_.BeginPage(printer_));
    EXPECT_EQ(spooler_.Write(printer_, job.data(), static_cast<std::uint32_t>(job.size())),
              job.size());
    spooler_.EndPage(printer_);
    spooler_.EndDocument(printer_);
    const auto received = jobs_->WaitForJob(1, kJobTimeoutMs);
    ASSERT_TRUE(received.has_value()) << "held back by the pause";
    EXPECT_EQ(*received, job);
    EXPECT_FALSE(spooler_.ResumeJob(printer_, id));
}

// A write the spooler took only in part is aborted, not ended. Wine's AbortPrinter
// says yes and does nothing; the document stays open on the handle until it is
// closed, and closing it ends the document.
TEST_F(Win32SpoolerJobs, AbortingADocumentIsTakenButWineStillSendsItAtTheClose) {
    const std::vector<unsigned char> part(10, 0x5A);
    ASSERT_NE(spooler_.BeginDocument(printer_, DocInfo{L"", L"", L"RAW"}), 0u);
    ASSERT_TRUE(spooler_.BeginPage(printer_));
    EXPECT_EQ(spooler_.Write(printer_, part.data(), 10), 10u);
    EXPECT_TRUE(spooler_.AbortDocument(printer_));
    EXPECT_FALSE(jobs_->WaitForJob(1, 1000).has_value()) << "sent at the abort";
    EXPECT_EQ(spooler_.BeginDocument(printer_, DocInfo{L"", L"", L"RAW"}), 0u)
        << "a second document on a handle whose document was aborted";
    spooler_.Close(printer_);
    printer_ = 0;
    const auto received = jobs_->WaitForJob(1, kJobTimeoutMs);
    ASSERT_TRUE(received.has_value());
    EXPECT_EQ(*received, part);
}

}  // namespace
}  // namespace reflasher
