// Which printers qualify, and what the printer list shows afterwards.
#include "device/PrinterDiscovery.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "sim/SimulatedSpooler.h"

namespace reflasher {
namespace {

using Lines = std::vector<std::wstring>;

const wchar_t kNotDetected[] =
    L"A Quillmar Dovrex Tactigraph was not detected!\nMake sure that the printer is turned on\n"
    L"and connected to the computer via the USB port.";
const wchar_t kMallocFailure[] = L"Printer Enumeration failed (malloc failure)";

// Refuses every allocation and remembers the sizes asked for.
class FailingAllocator : public Allocator {
public:
    std::unique_ptr<unsigned char[]> Allocate(std::size_t size) noexcept override {
        sizes.push_back(size);
        return nullptr;
    }
    std::vector<std::size_t> sizes;
};

class RecordingAllocator : public Allocator {
public:
    std::unique_ptr<unsigned char[]> Allocate(std::size_t size) noexcept override {
        sizes.push_back(size);
        return Allocator::Allocate(size);
    }
    std::vector<std::size_t> sizes;
};

TEST(IsQualifyingPrinter, LetterCaseAndLengthRules) {
    struct Case {
        const wchar_t* driver;
        const wchar_t* port;
        bool qualifies;
    } cases[] = {
        {L"QUILLMAR DOVREX", L"USB001", true},
        {L"Quillmar Dovrex", L"USB001", true},
        {L"quillmar dovrex", L"usb001", true},
        {L"qUiLlMaR dOvReX", L"uSb", true},
        {L"Quillmar Dovrex", L"USB", true},
        {L"Quillmar Dovrex", L"US", false},
        {L"Quillmar Dovrex", L"", false},
        {L"Quillmar Dovrex", L"LPT1:", false},
        {L"Quillmar Dovrex", L"XUSB001", false},
        {L"Quillmar Dovrex", L"USX001", false},
        {L"Quillmar Dovrex II", L"USB001", false},   // only begins with the name
        {L"Quillmar Dovrex ", L"USB001", false},
        {L"Quillmar Dovre", L"USB001", false},
        {L"Quillmar  Dovrex", L"USB001", false},
        {L"Quillmar_Dovrex", L"USB001", false},
        {L"", L"USB001", false},
        // Characters that Unicode upper-casing maps onto I and S: not ASCII, so no match.
        {L"Qu\u0131llmar Dovrex", L"USB001", false},
        {L"Quillmar Dovrex", L"U\u017FB001", false},
        // Fullwidth letters are not ASCII either.
        {L"Quillmar Dovrex", L"\uFF35\uFF33\uFF22001", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "driver [" << c.driver << "] port [" << c.port << "]");
        EXPECT_EQ(IsQualifyingPrinter({L"Embosser", c.port, c.driver}), c.qualifies);
    }
}

TEST(PrinterEntryText, KeepsNamesAsReported) {
    EXPECT_EQ(PrinterEntryText({L"Dovrex Embosser", L"usb001", L"QUILLMAR DOVREX"}),
              L"Dovrex Embosser on usb001");
    EXPECT_EQ(PrinterEntryText({L"50% on", L"USB%s", L"x"}), L"50% on on USB%s");
}

TEST(DiscoverPrinters, Layouts) {
    const PrinterInfo office{L"Office Laser", L"USB002", L"Laser Driver"};
    const PrinterInfo first{L"Dovrex A", L"USB001", L"Quillmar Dovrex"};
    const PrinterInfo second{L"dovrex b", L"usb003", L"QUILLMAR DOVREX"};
    const PrinterInfo onLpt{L"Dovrex Lpt", L"LPT1:", L"QUILLMAR DOVREX"};
    const PrinterInfo newer{L"Dovrex II", L"USB004", L"QUILLMAR DOVREX II"};
    struct Case {
        const char* what;
        std::vector<PrinterInfo> installed;
        Lines combo;
        Lines names;
        bool chosen;
        std::wstring selected;
        bool notDetected;
    } cases[] = {
        {"nothing installed", {}, {L"No printers available"}, {}, false, L"", true},
        {"no embosser", {office, onLpt, newer}, {L"No printers available"}, {}, false, L"", true},
        {"one embosser among others", {office, first, onLpt}, {L"Dovrex A on USB001"}, {L"Dovrex A"},
         true, L"Dovrex A", false},
        {"one on a lower-case port", {second}, {L"dovrex b on usb003"}, {L"dovrex b"}, true,
         L"dovrex b", false},
        {"two, in enumeration order", {second, office, first},
         {L"Choose printer from list", L"dovrex b on usb003", L"Dovrex A on USB001"},
         {L"dovrex b", L"Dovrex A"}, false, L"", false},
        {"three", {first, second, first},
         {L"Choose printer from list", L"Dovrex A on USB001", L"dovrex b on usb003",
          L"Dovrex A on USB001"},
         {L"Dovrex A", L"dovrex b", L"Dovrex A"}, false, L"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::SimulatedSpooler spooler;
        for (const PrinterInfo& p : c.installed) spooler.AddPrinter(p);
        const PrinterListLayout layout = DiscoverPrinters(spooler);
        EXPECT_TRUE(layout.enumerated);
        EXPECT_EQ(layout.comboLines, c.combo);
        EXPECT_EQ(layout.selectedIndex, 0);
        EXPECT_EQ(layout.printerNames, c.names);
        EXPECT_EQ(layout.printerChosen, c.chosen);
        EXPECT_EQ(layout.selectedPrinter, c.selected);
        // Each name with its own port: the lock is taken on the port.
        ASSERT_EQ(layout.printerPorts.size(), c.names.size());
        for (std::size_t i = 0; i < c.names.size(); ++i) {
            EXPECT_EQ(PrinterEntryText({c.names[i], layout.printerPorts[i], L""}), c.combo[c.combo.size() - c.names.size() + i]);
        }
        EXPECT_EQ(layout.selectedPort, c.chosen ? layout.printerPorts[0] : L"");
        ASSERT_EQ(layout.message.has_value(), c.notDetected);
        if (c.notDetected) {
            EXPECT_EQ(layout.message->text, kNotDetected);
            EXPECT_EQ(layout.message->caption, L"Error");
        }
        EXPECT_EQ(spooler.OpenHandleCount(), 0);
    }
}

TEST(DiscoverPrinters, EnumeratesWithABufferOfTheReportedSize) {
    sim::SimulatedSpooler spooler;
    spooler.AddPrinter({L"Dovrex", L"USB001", L"Quillmar Dovrex"});
    spooler.OverrideEnumSize(4096);
    RecordingAllocator allocator;
    const PrinterListLayout layout = DiscoverPrinters(spooler, allocator);
    EXPECT_EQ(allocator.sizes, std::vector<std::size_t>{4096});
    EXPECT_EQ(spooler.CallCount(sim::SpoolerOp::EnumPrintersSizeNeeded), 1);
    EXPECT_EQ(spooler.CallCount(sim::SpoolerOp::EnumPrinters), 1);
    EXPECT_TRUE(layout.printerChosen);
}

TEST(DiscoverPrinters, MallocFailureLeavesTheListAlone) {
    sim::SimulatedSpooler spooler;
    spooler.AddPrinter({L"Dovrex", L"USB001", L"Quillmar Dovrex"});
    FailingAllocator allocator;
    const PrinterListLayout layout = DiscoverPrinters(spooler, allocator);
    EXPECT_FALSE(layout.enumerated);
    EXPECT_TRUE(layout.comboLines.empty());
    EXPECT_TRUE(layout.printerNames.empty());
    EXPECT_FALSE(layout.printerChosen);
    EXPECT_TRUE(layout.selectedPrinter.empty());
    ASSERT_TRUE(layout.message.has_value());
    EXPECT_EQ(layout.message->text, kMallocFailure);
    EXPECT_EQ(layout.message->caption, L"Error");
    EXPECT_EQ(allocator.sizes.size(), 1u);
    EXPECT_EQ(spooler.CallCount(sim::SpoolerOp::EnumPrinters), 0);
}

// A stopped spooler service is no missing embosser: the user is told which it is.
TEST(DiscoverPrinters, SpoolerNotRunningIsSaidSo) {
    sim::SimulatedSpooler spooler;
    spooler.AddPrinter({L"Dovrex", L"USB001", L"Quillmar Dovrex"});
    spooler.StopService();
    const PrinterListLayout layout = DiscoverPrinters(spooler);
    EXPECT_FALSE(layout.enumerated);
    ASSERT_TRUE(layout.message.has_value());
    EXPECT_EQ(layout.message->text,
              L"The print spooler is not running!\nPlease start the Print Spooler service,\nor "
              L"restart the computer, and start this\napplication again.");
    EXPECT_EQ(layout.message->caption, L"Error");
}

TEST(DiscoverPrinters, FailedOrEmptyEnumerationMeansNoPrinters) {
    struct Case {
        const char* what;
        std::optional<sim::SpoolerOp> failing;
        std::optional<std::uint32_t> sizeReported;
    } cases[] = {
        {"size query fails", sim::SpoolerOp::EnumPrintersSizeNeeded, {}},
        {"size 0 is no malloc failure", {}, 0u},
        {"enumeration fails", sim::SpoolerOp::EnumPrinters, {}},
        {"buffer smaller than needed", {}, 8u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::SimulatedSpooler spooler;
        spooler.AddPrinter({L"Dovrex", L"USB001", L"Quillmar Dovrex"});
        if (c.failing) spooler.FailCall(*c.failing);
        if (c.sizeReported) spooler.OverrideEnumSize(*c.sizeReported);
        // Where the size comes back as 0, an allocator that always fails shows
        // that no buffer is needed and no malloc failure is reported.
        const bool sizeIsZero = c.failing == sim::SpoolerOp::EnumPrintersSizeNeeded ||
                                c.sizeReported == 0u;
        FailingAllocator failing;
        RecordingAllocator heap;
        Allocator& allocator = sizeIsZero ? static_cast<Allocator&>(failing) : heap;
        const PrinterListLayout layout = DiscoverPrinters(spooler, allocator);
        EXPECT_TRUE(layout.enumerated);
        EXPECT_EQ(layout.comboLines, Lines{L"No printers available"});
        EXPECT_TRUE(layout.printerNames.empty());
        EXPECT_FALSE(layout.printerChosen);
        ASSERT_TRUE(layout.message.has_value());
        EXPECT_EQ(layout.message->text, kNotDetected);
    }
}

}  // namespace
}  // namespace reflasher
