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

}  // namespace
}  // namespace reflasher::sim
