// The test spooler itself: other tests rely on its ledger, capture and failures.
#include "sim/SimulatedSpooler.h"

#include <gtest/gtest.h>

namespace reflasher::sim {
namespace {

PrinterInfo Embosser() { return {L"Dovrex", L"USB001", L"Quillmar Dovrex"}; }

TEST(SimulatedSpooler, CapturesJobsAndBalancesHandles) {
    SimulatedSpooler spooler;
    spooler.AddPrinter(Embosser());
    PrinterHandle h = 0;
    ASSERT_TRUE(spooler.OpenPrinter(L"Dovrex", &h, {L"RAW", kPrinterAllAccess}));
    EXPECT_EQ(spooler.OpenHandleCount(), 1);
    ASSERT_NE(spooler.StartDocPrinter(h, {L"", L"", L"RAW"}), 0u);
    ASSERT_TRUE(spooler.StartPagePrinter(h));
    const unsigned char data[] = {1, 2, 3};
    EXPECT_EQ(spooler.WritePrinter(h, data, 3), 3u);
    spooler.EndPagePrinter(h);
    spooler.EndDocPrinter(h);
    spooler.ClosePrinter(h);
    EXPECT_EQ(spooler.OpenHandleCount(), 0);
    ASSERT_EQ(spooler.Jobs().size(), 1u);
    EXPECT_EQ(spooler.Jobs()[0].bytes, std::vector<unsigned char>({1, 2, 3}));
    EXPECT_TRUE(spooler.Jobs()[0].ended);
}

TEST(SimulatedSpooler, FailsTheNthCallOnly) {
    SimulatedSpooler spooler;
    spooler.AddPrinter(Embosser());
    spooler.FailCall(SpoolerOp::OpenPrinter, 2);
    PrinterHandle h = 0;
    EXPECT_TRUE(spooler.OpenPrinter(L"Dovrex", &h, {}));
    EXPECT_FALSE(spooler.OpenPrinter(L"Dovrex", &h, {}));
    EXPECT_TRUE(spooler.OpenPrinter(L"Dovrex", &h, {}));
    EXPECT_EQ(spooler.OpenHandleCount(), 2);
}

TEST(SimulatedSpooler, ReportsOversizedStatusWithoutOverrunningTheBuffer) {
    SimulatedSpooler spooler;
    spooler.AddPrinter(Embosser());
    spooler.SetStatusBytes(L"Dovrex", std::vector<unsigned char>(300, 'A'));
    PrinterHandle h = 0;
    ASSERT_TRUE(spooler.OpenPrinter(L"Dovrex", &h, {}));
    unsigned char buffer[260] = {};
    EXPECT_EQ(spooler.GetPrinterData(h, L"QMSTSSTR", buffer, sizeof buffer), 300u);
    EXPECT_EQ(buffer[259], 'A');
}

// The queue: documents wait while it can't deliver and go out in order once it
// can; one still being written holds back the rest; deleted and aborted jobs never
// go out; the queue's state reads as GetPrinterW would give it.
TEST(SimulatedSpooler, QueueHoldsDocumentsUntilItCanDeliver) {
    struct Device : SimulatedDevice {
        std::vector<std::vector<unsigned char>> jobs;
        void OnJob(const std::vector<unsigned char>& bytes) override { jobs.push_back(bytes); }
        std::vector<unsigned char> OnStatusQuery() override { return {'x', 0}; }
    } device;
    SimulatedSpooler spooler;
    spooler.AddPrinter(Embosser(), &device);
    PrinterHandle h = 0;
    ASSERT_TRUE(spooler.OpenPrinter(L"Dovrex", &h, {}));
    const auto send = [&](unsigned char byte) {
        const JobId id = spooler.StartDocPrinter(h, {L"", L"", L"RAW"});
        spooler.StartPagePrinter(h);
        spooler.WritePrinter(h, &byte, 1);
        spooler.EndPagePrinter(h);
        spooler.EndDocPrinter(h);
        return id;
    };
    spooler.SetQueuePaused(L"Dovrex", true);
    const JobId first = send(1);
    spooler.SetWorkOffline(L"Dovrex", true);
    spooler.SetDeviceConnected(L"Dovrex", false);
    const JobId deleted = send(2);
    const JobId letter = spooler.AddForeignDocument(L"Dovrex", {3}, false);
    send(4);
    QueueState state = spooler.GetQueueState(h);
    EXPECT_EQ(state.status, queue_status::kPaused);
    EXPECT_EQ(state.attributes, 0x40u | kAttributeWorkOffline);
    EXPECT_EQ(state.jobCount, 4u);
    unsigned char buffer[8] = {};
    EXPECT_EQ(spooler.GetPrinterData(h, L"QMSTSSTR", buffer, sizeof buffer), 0u) << "unplugged";
    EXPECT_TRUE(spooler.DeleteJob(h, deleted));
    EXPECT_FALSE(spooler.DeleteJob(h, deleted));

    for (auto resume : {+[](SimulatedSpooler& s) { s.SetQueuePaused(L"Dovrex", false); },
                        +[](SimulatedSpooler& s) { s.SetWorkOffline(L"Dovrex", false); }}) {
        resume(spooler);
        EXPECT_TRUE(device.jobs.empty());
    }
    spooler.SetDeviceConnected(L"Dovrex", true);
    EXPECT_EQ(device.jobs, (std::vector<std::vector<unsigned char>>{{1}})) << "the letter holds back 4";
    spooler.CompleteDocument(letter);
    EXPECT_EQ(device.jobs, (std::vector<std::vector<unsigned char>>{{1}, {3}, {4}}));
    EXPECT_FALSE(spooler.DeleteJob(h, first)) << "gone out already";

    // An aborted document never goes out, nor does anything written to it after.
    spooler.StartDocPrinter(h, {L"", L"", L"RAW"});
    spooler.StartPagePrinter(h);
    const unsigned char part[] = {5, 6};
    spooler.WritePrinter(h, part, 2);
    EXPECT_TRUE(spooler.AbortDocument(h));
    EXPECT_EQ(spooler.WritePrinter(h, part, 2), 0u);
    spooler.EndDocPrinter(h);
    EXPECT_EQ(device.jobs.size(), 3u);
    EXPECT_EQ(spooler.GetQueueState(h).jobCount, 0u);
    std::vector<JobId> queued{99};
    EXPECT_TRUE(spooler.ListQueuedJobs(h, &queued));
    EXPECT_TRUE(queued.empty());
    spooler.ClosePrinter(h);
}

}  // namespace
}  // namespace reflasher::sim
