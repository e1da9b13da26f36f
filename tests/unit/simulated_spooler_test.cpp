// The test spooler itself: other tests rely on its ledger, capture and failures.
#include "sim/SimulatedSpooler.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace reflasher::sim {
namespace {

PrinterInfo Embosser() { return {L"Dovrex", L"USB001", L"Quillmar Dovrex"}; }

TEST(SimulatedSpooler, CapturesJobsAndBalancesHandles) {
    SimulatedSpooler spooler;
    spooler.AddPrinter(Embosser());
    PrinterHandle h = 0;
    ASSERT_TRUE(spooler.Open(L"Dovrex", &h, {L"RAW", kPrinterAllAccess}));
    EXPECT_EQ(spooler.OpenHandleCount(), 1);
    ASSERT_NE(spooler.BeginDocument(h, {L"", L"", L"RAW"}), 0u);
    ASSERT_TRUE(spooler.BeginPage(h));
    const unsigned char data[] = {1, 2, 3};
    EXPECT_EQ(spooler.Write(h, data, 3), 3u);
    spooler.EndPage(h);
    spooler.EndDocument(h);
    spooler.Close(h);
    EXPECT_EQ(spooler.OpenHandleCount(), 0);
    ASSERT_EQ(spooler.Jobs().size(), 1u);
    EXPECT_EQ(spooler.Jobs()[0].bytes, std::vector<unsigned char>({1, 2, 3}));
    EXPECT_TRUE(spooler.Jobs()[0].ended);
}

TEST(SimulatedSpooler, FailsTheNthCallOnly) {
    SimulatedSpooler spooler;
    spooler.AddPrinter(Embosser());
    spooler.FailCall(SpoolerOp::Open, 2);
    PrinterHandle h = 0;
    EXPECT_TRUE(spooler.Open(L"Dovrex", &h, {}));
    EXPECT_FALSE(spooler.Open(L"Dovrex", &h, {}));
    EXPECT_TRUE(spooler.Open(L"Dovrex", &h, {}));
    EXPECT_EQ(spooler.OpenHandleCount(), 2);
}

TEST(SimulatedSpooler, ReportsOversizedStatusWithoutOverrunningTheBuffer) {
    SimulatedSpooler spooler;
    spooler.AddPrinter(Embosser());
    spooler.SetStatusBytes(L"Dovrex", std::vector<unsigned char>(300, 'A'));
    PrinterHandle h = 0;
    ASSERT_TRUE(spooler.Open(L"Dovrex", &h, {}));
    unsigned char buffer[260] = {};
    EXPECT_EQ(spooler.ReadDriverData(h, L"QMSTSSTR", buffer, sizeof buffer), 300u);
    EXPECT_EQ(buffer[259], 'A');
}

// The queue: documents wait while it can't deliver and go out in order once it
// can; one still being written holds back the rest; a deleted job never goes out.
TEST(SimulatedSpooler, QueueHoldsDocumentsUntilItCanDeliver) {
    struct Device : SimulatedDevice {
        std::vector<std::vector<unsigned char>> jobs;
        void OnJob(const std::vector<unsigned char>& bytes) override { jobs.push_back(bytes); }
        std::vector<unsigned char> OnStatusQuery() override { return {'x', 0}; }
    } device;
    SimulatedSpooler spooler;
    spooler.AddPrinter(Embosser(), &device);
    spooler.SetQueuePaused(L"Dovrex", true);
    spooler.SetWorkOffline(L"Dovrex", true);
    spooler.SetDeviceConnected(L"Dovrex", false);
    spooler.AddForeignDocument(L"Dovrex", {1});
    const JobId deleted = spooler.AddForeignDocument(L"Dovrex", {2});
    const JobId letter = spooler.AddForeignDocument(L"Dovrex", {3}, false);
    spooler.AddForeignDocument(L"Dovrex", {4});
    PrinterHandle h = 0;
    ASSERT_TRUE(spooler.Open(L"Dovrex", &h, {}));
    EXPECT_EQ(spooler.GetQueueState(h).jobCount, 4u);
    EXPECT_TRUE(spooler.DeleteJob(h, deleted));
    spooler.SetQueuePaused(L"Dovrex", false);
    spooler.SetWorkOffline(L"Dovrex", false);
    EXPECT_TRUE(device.jobs.empty()) << "went out to an unplugged device";
    spooler.SetDeviceConnected(L"Dovrex", true);
    EXPECT_EQ(device.jobs, (std::vector<std::vector<unsigned char>>{{1}})) << "the letter holds back 4";
    spooler.CompleteDocument(letter);
    EXPECT_EQ(device.jobs, (std::vector<std::vector<unsigned char>>{{1}, {3}, {4}}));
    EXPECT_EQ(spooler.GetQueueState(h).jobCount, 0u);
    spooler.Close(h);
}


struct Taker : SimulatedDevice {
    std::vector<std::vector<unsigned char>> jobs;
    void OnJob(const std::vector<unsigned char>& bytes) override { jobs.push_back(bytes); }
    std::vector<unsigned char> OnStatusQuery() override { return {'x', 0}; }
};
using Bytes = std::vector<std::vector<unsigned char>>;

// Starts a job of `bytes` on `h` and writes them; the document stays open.
JobId StartAndWrite(SimulatedSpooler& spooler, PrinterHandle h, std::vector<unsigned char> bytes,
                    bool pause = false) {
    const JobId job = spooler.BeginDocument(h, {L"", L"", L"RAW"});
    if (pause) {
        EXPECT_TRUE(spooler.PauseJob(h, job));
    }
    EXPECT_TRUE(spooler.BeginPage(h));
    EXPECT_EQ(spooler.Write(h, bytes.data(), static_cast<std::uint32_t>(bytes.size())), bytes.size());
    return job;
}

std::uint32_t StatusOf(SimulatedSpooler& spooler, PrinterHandle h, JobId job) {
    std::vector<QueuedJob> jobs;
    EXPECT_TRUE(spooler.ListQueuedJobs(h, &jobs));
    for (const QueuedJob& listed : jobs) {
        if (listed.id == job) return listed.status;
    }
    return 0xDEAD;  // not listed
}

// How each kind of queue delivers, and the job states it shows.
TEST(SimulatedSpooler, DeliversAsItsQueueIsSetUp) {
    {
        SCOPED_TRACE("while spooling: bytes go as written; deleting keeps what went");
        Taker device;
        SimulatedSpooler spooler;
        spooler.AddPrinter(Embosser(), &device);
        PrinterHandle h = 0;
        ASSERT_TRUE(spooler.Open(L"Dovrex", &h, {}));
        const JobId job = StartAndWrite(spooler, h, {1, 2, 3});
        EXPECT_EQ(StatusOf(spooler, h, job), job_status::kSpooling | job_status::kPrinting);
        EXPECT_TRUE(spooler.DeleteJob(h, job));
        EXPECT_EQ(device.jobs, (Bytes{{1, 2, 3}})) << "what went out before the deletion";
        spooler.Close(h);
    }
    {
        SCOPED_TRACE("while spooling, paused: nothing goes until resumed; others go by");
        Taker device;
        SimulatedSpooler spooler;
        spooler.AddPrinter(Embosser(), &device);
        PrinterHandle h = 0;
        ASSERT_TRUE(spooler.Open(L"Dovrex", &h, {}));
        const JobId job = StartAndWrite(spooler, h, {1, 2, 3}, true);
        spooler.EndPage(h);
        spooler.EndDocument(h);
        EXPECT_EQ(StatusOf(spooler, h, job), job_status::kPaused);
        spooler.AddForeignDocument(L"Dovrex", {9});
        EXPECT_EQ(device.jobs, (Bytes{{9}}));
        EXPECT_TRUE(spooler.ResumeJob(h, job));
        EXPECT_EQ(device.jobs, (Bytes{{9}, {1, 2, 3}}));
        spooler.Close(h);
    }
    {
        SCOPED_TRACE("after spooling: nothing until the document ends; aborting drops it all");
        Taker device;
        SimulatedSpooler spooler;
        spooler.AddPrinter(Embosser(), &device);
        spooler.SetDeliveryMode(L"Dovrex", DeliveryMode::AfterSpooled);
        PrinterHandle h = 0;
        ASSERT_TRUE(spooler.Open(L"Dovrex", &h, {}));
        const JobId job = StartAndWrite(spooler, h, {1, 2, 3});
        EXPECT_EQ(StatusOf(spooler, h, job), job_status::kSpooling);
        EXPECT_TRUE(spooler.AbortDocument(h));
        EXPECT_TRUE(device.jobs.empty());
        spooler.Close(h);
    }
    {
        SCOPED_TRACE("directly: no pause, abort does nothing, and what was written has gone");
        Taker device;
        SimulatedSpooler spooler;
        spooler.AddPrinter(Embosser(), &device);
        spooler.SetDeliveryMode(L"Dovrex", DeliveryMode::Direct);
        PrinterHandle h = 0;
        ASSERT_TRUE(spooler.Open(L"Dovrex", &h, {}));
        const JobId job = spooler.BeginDocument(h, {L"", L"", L"RAW"});
        EXPECT_FALSE(spooler.PauseJob(h, job));
        ASSERT_TRUE(spooler.BeginPage(h));
        const unsigned char bytes[] = {1, 2};
        spooler.Write(h, bytes, 2);
        EXPECT_TRUE(spooler.AbortDocument(h));
        EXPECT_TRUE(spooler.DeleteJob(h, job));
        EXPECT_EQ(device.jobs, (Bytes{{1, 2}}));
        spooler.Close(h);
    }
    {
        SCOPED_TRACE("kept documents: listed as printed; a job in error holds the queue");
        Taker device;
        SimulatedSpooler spooler;
        spooler.AddPrinter(Embosser(), &device);
        spooler.SetKeepPrinted(L"Dovrex", true);
        const JobId printed = spooler.AddForeignDocument(L"Dovrex", {1});
        const JobId stuck = spooler.AddForeignDocument(L"Dovrex", {2}, false);
        spooler.SetJobHeldBits(stuck, job_status::kError);
        spooler.CompleteDocument(stuck);
        spooler.AddForeignDocument(L"Dovrex", {3});
        PrinterHandle h = 0;
        ASSERT_TRUE(spooler.Open(L"Dovrex", &h, {}));
        EXPECT_EQ(StatusOf(spooler, h, printed), job_status::kPrinted | job_status::kComplete);
        EXPECT_EQ(device.jobs, (Bytes{{1}}));
        spooler.SetJobHeldBits(stuck, 0);
        EXPECT_EQ(device.jobs, (Bytes{{1}, {2}, {3}}));
        EXPECT_EQ(spooler.GetQueueState(h).jobCount, 3u);
        spooler.Close(h);
    }
}

// The queue's status word and the device's presence hold its jobs; queues on one
// port share one device; a call can be held until the test lets it go.
TEST(SimulatedSpooler, StatusWordPortsAndBlockedCalls) {
    Taker device;
    SimulatedSpooler spooler;
    spooler.AddPrinter(Embosser(), &device);
    spooler.AddPrinter({L"Dovrex (copy 1)", L"USB001", L"Quillmar Dovrex"}, &device);
    for (std::uint32_t bits : {queue_status::kPaused, queue_status::kOffline, queue_status::kError}) {
        spooler.SetQueueStatusBits(L"Dovrex", bits);
        spooler.AddForeignDocument(L"Dovrex", {1});
        EXPECT_TRUE(device.jobs.empty()) << bits;
        spooler.SetQueueStatusBits(L"Dovrex", 0);
        EXPECT_EQ(device.jobs.size(), 1u) << bits;
        device.jobs.clear();
    }
    PrinterHandle h = 0;
    ASSERT_TRUE(spooler.Open(L"Dovrex", &h, {}));
    spooler.SetDeviceConnected(L"Dovrex", false);
    EXPECT_EQ(spooler.GetQueueState(h).attributes.value_or(0) & kAttributeWorkOffline, kAttributeWorkOffline);
    spooler.SetDeviceConnected(L"Dovrex", true);

    const JobId letter = spooler.AddForeignDocument(L"Dovrex", {1}, false);
    spooler.AddForeignDocument(L"Dovrex (copy 1)", {2});
    EXPECT_TRUE(device.jobs.empty()) << "the port is busy with the letter";
    spooler.CompleteDocument(letter);
    EXPECT_EQ(device.jobs, (Bytes{{1}, {2}}));

    const auto gate = spooler.BlockCall(SpoolerOp::GetQueueState,
                                        spooler.CallCount(SpoolerOp::GetQueueState) + 2);
    spooler.GetQueueState(h);  // the call before isn't held
    std::atomic<bool> returned{false};
    std::thread caller([&] {
        spooler.GetQueueState(h);
        returned = true;
    });
    ASSERT_TRUE(gate->WaitUntilEntered());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(returned);
    gate->Release();
    caller.join();
    EXPECT_TRUE(returned);
    spooler.Close(h);
}

}  // namespace
}  // namespace reflasher::sim
