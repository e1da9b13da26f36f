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
    ASSERT_TRUE(spooler.StartDocPrinter(h, {L"", L"", L"RAW"}));
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

}  // namespace
}  // namespace reflasher::sim
