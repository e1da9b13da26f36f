// Opening the embosser for an update: exact "USB" port test, nothing left open on refusal.
#include "device/UsbPrinter.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "device/PrinterDiscovery.h"
#include "sim/SimulatedSpooler.h"
#include "tests/shared/UpdateFakes.h"

namespace reflasher {
namespace {

TEST(UpdatePrinterDefaults, RawWithAllAccess) {
    const PrinterDefaults defaults = UpdatePrinterDefaults();
    EXPECT_EQ(defaults.dataType, L"RAW");
    EXPECT_EQ(defaults.desiredAccess, 0xF000Cu);
}

TEST(OpenUsbPrinter, KeepsOnlyExactUsbPortsOpen) {
    struct Case {
        const char* what;
        std::wstring port;
        std::optional<sim::SpoolerOp> failing;
        bool allocationFails;
        bool opened;
    } cases[] = {
        {"USB001", L"USB001", {}, false, true},
        {"just USB", L"USB", {}, false, true},
        {"lower-case usb001", L"usb001", {}, false, false},
        {"mixed-case Usb001", L"Usb001", {}, false, false},
        {"short port", L"US", {}, false, false},
        {"empty port", L"", {}, false, false},
        {"parallel port", L"LPT1:", {}, false, false},
        {"USB later in the name", L"XUSB001", {}, false, false},
        {"open fails", L"USB001", sim::SpoolerOp::Open, false, false},
        {"no size", L"USB001", sim::SpoolerOp::PrinterRecordSize, false, false},
        {"allocation fails", L"USB001", {}, true, false},
        {"GetPrinter fails", L"USB001", sim::SpoolerOp::ReadPort, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::SimulatedSpooler spooler;
        spooler.AddPrinter({L"Other", L"USB009", L"Quillmar Dovrex"});
        spooler.AddPrinter({L"Dovrex", c.port, L"Quillmar Dovrex"});
        if (c.failing) spooler.FailCall(*c.failing);
        fakes::FailingAllocator allocator(c.allocationFails ? 0 : fakes::kNeverFails);
        const PrinterDefaults defaults = UpdatePrinterDefaults();

        PrinterHandle printer = 0;
        const bool opened = OpenUsbPrinter(spooler, L"Dovrex", &printer, defaults, allocator);
        EXPECT_EQ(opened, c.opened);
        EXPECT_EQ(spooler.OpenedNames(), std::vector<std::wstring>{L"Dovrex"});
        ASSERT_EQ(spooler.OpenDefaults().size(), 1u);
        EXPECT_EQ(spooler.OpenDefaults()[0].dataType, L"RAW");
        EXPECT_EQ(spooler.OpenDefaults()[0].desiredAccess, kPrinterAllAccess);

        if (opened) {
            // The handle given back is the one the spooler holds open.
            EXPECT_EQ(spooler.OpenHandleCount(), 1);
            spooler.Close(printer);
        } else if (c.failing == sim::SpoolerOp::Open) {
            // Nothing was opened, so there is nothing to close.
            EXPECT_EQ(spooler.CallCount(sim::SpoolerOp::Close), 0);
        } else {
            EXPECT_EQ(spooler.CallCount(sim::SpoolerOp::Close), 1);
        }
        EXPECT_EQ(spooler.OpenHandleCount(), 0);

        // The port buffer is asked for at the size the spooler reported, and only then.
        const bool sizeKnown =
            c.failing != sim::SpoolerOp::Open && c.failing != sim::SpoolerOp::PrinterRecordSize;
        EXPECT_EQ(allocator.requests.size(), sizeKnown ? 1u : 0u);
    }
}

// Without the right to manage the printer, full access is refused; use access is all
// an update needs, so only that refusal earns a second open.
TEST(OpenUsbPrinter, AccessDeniedIsRetriedWithUseAccessOnly) {
    const struct {
        const char* what;
        std::optional<std::uint32_t> granted;
        bool openFails;
        std::wstring port;
        std::vector<std::uint32_t> accessAsked;
        bool opened;
    } cases[] = {
        {"use access granted", kPrinterAccessUse, false, L"USB001",
         {kPrinterAllAccess, kPrinterAccessUse}, true},
        {"no access at all", 0u, false, L"USB001", {kPrinterAllAccess, kPrinterAccessUse}, false},
        {"use access, port not USB", kPrinterAccessUse, false, L"usb001",
         {kPrinterAllAccess, kPrinterAccessUse}, false},
        {"other failure", {}, true, L"USB001", {kPrinterAllAccess}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        sim::SimulatedSpooler spooler;
        spooler.AddPrinter({L"Dovrex", c.port, L"Quillmar Dovrex"});
        if (c.granted) spooler.LimitAccess(*c.granted);
        if (c.openFails) spooler.FailCall(sim::SpoolerOp::Open);

        PrinterHandle printer = 0;
        EXPECT_EQ(OpenUsbPrinter(spooler, L"Dovrex", &printer, UpdatePrinterDefaults()), c.opened);
        std::vector<std::uint32_t> accessAsked;
        for (const PrinterDefaults& defaults : spooler.OpenDefaults()) {
            EXPECT_EQ(defaults.dataType, L"RAW");
            accessAsked.push_back(defaults.desiredAccess);
        }
        EXPECT_EQ(accessAsked, c.accessAsked);
        EXPECT_EQ(spooler.OpenHandleCount(), c.opened ? 1 : 0);
        if (c.opened) spooler.Close(printer);
    }
}

TEST(OpenUsbPrinter, UnknownPrinterLeavesNothingOpen) {
    sim::SimulatedSpooler spooler;
    spooler.AddPrinter({L"Dovrex", L"USB001", L"Quillmar Dovrex"});
    PrinterHandle printer = 0;
    EXPECT_FALSE(OpenUsbPrinter(spooler, L"dovrex", &printer, UpdatePrinterDefaults()));
    EXPECT_EQ(spooler.OpenHandleCount(), 0);
    EXPECT_EQ(spooler.CallCount(sim::SpoolerOp::Close), 0);
}

TEST(OpenUsbPrinter, PassesTheCallersDefaults) {
    sim::SimulatedSpooler spooler;
    spooler.AddPrinter({L"Dovrex", L"USB001", L"Quillmar Dovrex"});
    PrinterHandle printer = 0;
    ASSERT_TRUE(OpenUsbPrinter(spooler, L"Dovrex", &printer, PrinterDefaults{L"NT EMF 1.008", 8}));
    ASSERT_EQ(spooler.OpenDefaults().size(), 1u);
    EXPECT_EQ(spooler.OpenDefaults()[0].dataType, L"NT EMF 1.008");
    EXPECT_EQ(spooler.OpenDefaults()[0].desiredAccess, 8u);
    spooler.Close(printer);
}

TEST(OpenUsbPrinter, ListedLowerCasePortIsRefusedWhenOpened) {
    sim::SimulatedSpooler spooler;
    spooler.AddPrinter({L"Dovrex", L"usb001", L"Quillmar Dovrex"});
    const Discovery found = DiscoverEmbossers(spooler);
    ASSERT_EQ(found.embossers.size(), 1u);
    PrinterHandle printer = 0;
    EXPECT_FALSE(OpenUsbPrinter(spooler, found.embossers[0].printerName, &printer, UpdatePrinterDefaults()));
    EXPECT_EQ(spooler.OpenHandleCount(), 0);
}

}  // namespace
}  // namespace reflasher
