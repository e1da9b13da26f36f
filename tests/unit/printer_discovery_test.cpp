// Which printers qualify, and what the printer list shows afterwards.
#include "device/PrinterDiscovery.h"
#include "device/GrowingList.h"
#include "ui/PrinterList.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "sim/SimulatedSpooler.h"
#include "tests/shared/ExpectedTexts.h"
#include "tests/shared/UpdateFakes.h"

namespace reflasher {
namespace {

using Lines = std::vector<std::wstring>;

using expected::kChoosePrinter;
using expected::kNoPrinters;
using expected::kNotDetected;
using expected::kEnumerationNoMemory;

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
        bool notDetected;
    } cases[] = {
        {"nothing installed", {}, {kNoPrinters}, {}, false, true},
        {"no embosser", {office, onLpt, newer}, {kNoPrinters}, {}, false, true},
        {"one embosser among others", {office, first, onLpt}, {L"Dovrex A on USB001"}, {L"Dovrex A"},
         true, false},
        {"one on a lower-case port", {second}, {L"dovrex b on usb003"}, {L"dovrex b"}, true, false},
        {"two, in enumeration order", {second, office, first},
         {kChoosePrinter, L"dovrex b on usb003", L"Dovrex A on USB001"},
         {L"dovrex b", L"Dovrex A"}, false, false},
        {"three", {first, second, first},
         {kChoosePrinter, L"Dovrex A on USB001", L"dovrex b on usb003",
          L"Dovrex A on USB001"},
         {L"Dovrex A", L"dovrex b", L"Dovrex A"}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::SimulatedSpooler spooler;
        for (const PrinterInfo& p : c.installed) spooler.AddPrinter(p);
        const Discovery found = DiscoverEmbossers(spooler);
        EXPECT_EQ(found.outcome, DiscoveryOutcome::Enumerated);
        Lines names;
        for (const PrinterInfo& p : found.embossers) names.push_back(p.printerName);
        EXPECT_EQ(names, c.names);
        const PrinterList list = LayOutPrinterList(found);
        EXPECT_TRUE(list.fill);
        EXPECT_EQ(list.lines, c.combo);
        EXPECT_EQ(list.chooseOnlyEmbosser, c.chosen);
        // Each line after any prompt stands for its embosser; the prompt for none.
        for (std::size_t line = 0; line < c.combo.size(); ++line) {
            const std::optional<std::size_t> embosser =
                EmbosserAtLine(list, static_cast<int>(line), found.embossers.size());
            if (!embosser) {
                EXPECT_TRUE(c.combo[line] == kChoosePrinter ||
                            c.combo[line] == kNoPrinters);
                continue;
            }
            EXPECT_EQ(PrinterEntryText(found.embossers[*embosser]), c.combo[line]);
        }
        EXPECT_FALSE(EmbosserAtLine(list, -1, found.embossers.size()));
        EXPECT_FALSE(EmbosserAtLine(list, static_cast<int>(c.combo.size()), found.embossers.size()));
        EXPECT_EQ(list.message.empty(), !c.notDetected);
        if (c.notDetected) {
            EXPECT_EQ(list.message, kNotDetected);
        }
        EXPECT_EQ(spooler.OpenHandleCount(), 0);
    }
}

TEST(DiscoverPrinters, EnumeratesWithABufferOfTheReportedSize) {
    sim::SimulatedSpooler spooler;
    spooler.AddPrinter({L"Dovrex", L"USB001", L"Quillmar Dovrex"});
    spooler.OverrideEnumSize(4096);
    fakes::FailingAllocator allocator{fakes::kNeverFails};
    const Discovery found = DiscoverEmbossers(spooler, allocator);
    EXPECT_EQ(allocator.requests, std::vector<std::size_t>{4096});
    EXPECT_EQ(spooler.CallCount(sim::SpoolerOp::PrinterListSize), 1);
    EXPECT_EQ(spooler.CallCount(sim::SpoolerOp::ListPrinters), 1);
    EXPECT_TRUE(LayOutPrinterList(found).chooseOnlyEmbosser);
}

// A job list that grows between its size and its fetch is fetched again with the new
// size, a few times; any other failure ends it at once.
TEST(FetchGrowingList, AsksAgainWhileTheListGrows) {
    using F = ListFetch;
    const struct {
        const char* what;
        std::vector<std::pair<ListFetch, std::uint32_t>> answers;  // each fetch's, with the size it wants
        bool fetched;
        std::vector<std::uint32_t> sizesAsked;
    } cases[] = {
        {"fits", {{F::Fetched, 0}}, true, {100}},
        {"grows once", {{F::TooSmall, 150}, {F::Fetched, 0}}, true, {100, 150}},
        {"grows every time", {{F::TooSmall, 150}, {F::TooSmall, 200}, {F::TooSmall, 250}, {F::TooSmall, 300}},
         false, {100, 150, 200, 250}},
        {"fails otherwise", {{F::Failed, 0}}, false, {100}},
        {"wants room but names no more", {{F::TooSmall, 100}}, false, {100}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::uint32_t> asked;
        std::vector<unsigned char> buffer;
        const bool fetched = FetchGrowingList(
            100, &buffer, [&](unsigned char*, std::uint32_t size, std::uint32_t* needed) {
                const auto answer = c.answers.at(asked.size());
                asked.push_back(size);
                *needed = answer.second;
                return answer.first;
            });
        EXPECT_EQ(fetched, c.fetched);
        EXPECT_EQ(asked, c.sizesAsked);
        EXPECT_EQ(buffer.size(), c.sizesAsked.back());
    }
}

// Neither a malloc failure nor a stopped spooler service is a missing embosser:
// the list is left alone and the user is told which it is.
TEST(DiscoverPrinters, MallocFailureOrStoppedSpoolerLeavesTheListAlone) {
    const struct {
        const char* what;
        bool serviceStopped;
        DiscoveryOutcome outcome;
        std::wstring message;
        std::size_t allocations;
    } cases[] = {
        {"no memory", false, DiscoveryOutcome::NoMemory, kEnumerationNoMemory, 1},
        {"spooler stopped", true, DiscoveryOutcome::SpoolerNotRunning,
         L"The print spooler is not running!\nPlease start the Print Spooler service,\nor "
         L"restart the computer, and start this\napplication again.",
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        sim::SimulatedSpooler spooler;
        spooler.AddPrinter({L"Dovrex", L"USB001", L"Quillmar Dovrex"});
        if (c.serviceStopped) spooler.StopService();
        fakes::FailingAllocator allocator;
        const Discovery found = DiscoverEmbossers(spooler, allocator);
        EXPECT_EQ(found.outcome, c.outcome);
        EXPECT_TRUE(found.embossers.empty());
        const PrinterList list = LayOutPrinterList(found);
        EXPECT_FALSE(list.fill);
        EXPECT_TRUE(list.lines.empty());
        EXPECT_FALSE(list.chooseOnlyEmbosser);
        EXPECT_EQ(list.message, c.message);
        EXPECT_EQ(allocator.requests.size(), c.allocations);
        EXPECT_EQ(spooler.CallCount(sim::SpoolerOp::ListPrinters), 0);
    }
}

TEST(DiscoverPrinters, FailedOrEmptyEnumerationMeansNoPrinters) {
    struct Case {
        const char* what;
        std::optional<sim::SpoolerOp> failing;
        std::optional<std::uint32_t> sizeReported;
    } cases[] = {
        {"size query fails", sim::SpoolerOp::PrinterListSize, {}},
        {"size 0 is no malloc failure", {}, 0u},
        {"enumeration fails", sim::SpoolerOp::ListPrinters, {}},
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
        const bool sizeIsZero =
            c.failing == sim::SpoolerOp::PrinterListSize || c.sizeReported == 0u;
        fakes::FailingAllocator failing;
        fakes::FailingAllocator heap{fakes::kNeverFails};
        Allocator& allocator = sizeIsZero ? static_cast<Allocator&>(failing) : heap;
        const Discovery found = DiscoverEmbossers(spooler, allocator);
        EXPECT_EQ(found.outcome, DiscoveryOutcome::Enumerated);
        EXPECT_TRUE(found.embossers.empty());
        const PrinterList list = LayOutPrinterList(found);
        EXPECT_TRUE(list.fill);
        EXPECT_EQ(list.lines, Lines{kNoPrinters});
        EXPECT_FALSE(list.chooseOnlyEmbosser);
        EXPECT_EQ(list.message, kNotDetected);
    }
}

}  // namespace
}  // namespace reflasher
