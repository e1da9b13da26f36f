// Decoding the "QMSTSSTR" status string, and reading it through the spooler.
#include "device/DeviceStatus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "sim/SimulatedSpooler.h"

namespace reflasher {
namespace {

const std::string kPrefix = "MFG:QUILLMAR;MDL:DOVREX;";

// The buffer as the spooler would leave it: `bytes` copied in, the rest zero.
StatusBuffer BufferOf(const std::string& bytes) {
    StatusBuffer buffer{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), buffer.size()), buffer.begin());
    return buffer;
}

struct DecodeCase {
    const char* what;
    std::string bytes;                    // exactly what lands in the buffer
    std::optional<std::uint32_t> count;   // reported count; default: bytes.size()
    std::int32_t status;
    std::int32_t progress;
};

// Text and its zero byte, as the driver delivers it.
std::string Z(const std::string& text) { return text + '\0'; }

TEST(DecodeDeviceStatus, Table) {
    const std::string full260(kPrefix + "F:0100;" + std::string(260 - kPrefix.size() - 7, 'X'));
    const std::string full259(kPrefix + "F:0642;" + std::string(259 - kPrefix.size() - 7, 'x'));
    const DecodeCase cases[] = {
        {"ready", Z(kPrefix + "F:0100;"), {}, 1, 0},
        {"letter case doesn't matter", Z("mfg:quillmar;mdl:dovrex;f:0642;"), {}, 6, 42},
        {"write error", Z(kPrefix + "F:0599;"), {}, 5, 99},
        {"position 7 not a semicolon", Z(kPrefix + "F:060;"), {}, -1, 0},
        {"no semicolon before F", Z("MFG:QUILLMAR;MDL:DOVREX F:0100;"), {}, -1, 0},
        {"no model", Z("MFG:QUILLMAR;F:0100;"), {}, -1, 0},
        {"no maker", Z("MDL:DOVREX;F:0100;"), {}, -1, 0},
        {"other maker", Z("MFG:QUILLMAN;MDL:DOVREX;F:0100;"), {}, -1, 0},
        {"no F field", Z(kPrefix + "S:0100;"), {}, -1, 0},
        {"negative through the reading rule", Z(kPrefix + "F:-100;"), {}, -1, 0},
        {"reading stops at a non-digit", Z(kPrefix + "F:6;42;"), {}, 0, 42},
        {"a letter stops the status digits", Z(kPrefix + "F:0a42;"), {}, 0, 42},
        {"leading blank and sign", Z(kPrefix + "F: +99;"), {}, 0, 99},
        {"blank inside the status digits", Z(kPrefix + "F:06 4;"), {}, 0, 4},
        {"largest values", Z(kPrefix + "F:9999;"), {}, 99, 99},
        {"fields in any order", Z(";F:0642;MDL:DOVREX;MFG:QUILLMAR"), {}, 6, 42},
        {"marks inside other fields", Z("X:MFG:QUILLMARMDL:DOVREXY;F:0100;"), {}, 1, 0},
        {"only the first F field counts", Z(kPrefix + "F:99;XY;F:0100;"), {}, -1, 0},
        {"first F field well formed", Z(kPrefix + "F:0642;F:0100;"), {}, 6, 42},
        {"text ends at position 3", Z(kPrefix + "F:") + "064;", {}, -1, 0},
        {"text ends at position 4", Z(kPrefix + "F:0") + "42;", {}, -1, 0},
        {"text ends at position 5", Z(kPrefix + "F:01") + "00;", {}, -1, 0},
        {"text ends at position 6", Z(kPrefix + "F:010") + "0;", {}, -1, 0},
        {"text ends at position 7", Z(kPrefix + "F:0100") + ";", {}, -1, 0},
        {"maker after the zero byte", Z("MDL:DOVREX;F:0100;") + "MFG:QUILLMAR", {}, -1, 0},
        {"count 0", Z(kPrefix + "F:0100;"), 0u, -1, 0},
        {"count smaller than the text", Z(kPrefix + "F:0100;"), 1u, 1, 0},
        {"count 260, 259 characters", Z(full259), 260u, 6, 42},
        {"count above 260", Z(kPrefix + "F:0100;"), 261u, -1, 0},
        {"count far above 260", Z(kPrefix + "F:0100;"), 0xFFFFFFFFu, -1, 0},
        {"260 bytes without a zero byte", full260, 260u, -1, 0},
        {"empty text", Z(""), {}, -1, 0},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.what);
        StatusBuffer buffer = BufferOf(c.bytes);
        const std::uint32_t count = c.count.value_or(static_cast<std::uint32_t>(c.bytes.size()));
        const DeviceStatus result = DecodeDeviceStatus(buffer, count);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.progress, c.progress);
    }
}

TEST(DecodeDeviceStatus, UpperCasesOnlyAsciiLettersAndOnlyUpToTheZeroByte) {
    // Latin-1 letters (0xE9, 0xFF), the neighbours of a-z and digits must stay;
    // what follows the zero byte is not part of the text and is left alone.
    const std::string text = "mfg:quillmar;mdl:dovrex;f:0642;`{@[\xE9\xFF" "09~";
    StatusBuffer buffer = BufferOf(Z(text) + "tail");
    const DeviceStatus result = DecodeDeviceStatus(buffer, static_cast<std::uint32_t>(text.size() + 1));
    EXPECT_EQ(result.status, 6);
    EXPECT_EQ(result.progress, 42);
    const std::string expected = Z("MFG:QUILLMAR;MDL:DOVREX;F:0642;`{@[\xE9\xFF" "09~") + "tail";
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(expected.size())), expected);
}

TEST(DecodeDeviceStatus, NonAsciiBytesDoNotFoldIntoTheMarks) {
    // 0xCC / 0xEC are no 'I' in any locale a folding bug might use; must not match "QUILLMAR".
    StatusBuffer buffer = BufferOf(Z("MFG:QU\xCCLLMAR;MDL:DOVREX;F:0100;"));
    EXPECT_EQ(DecodeDeviceStatus(buffer, 40).status, -1);
}

class QueryDeviceStatusTest : public ::testing::Test {
protected:
    QueryDeviceStatusTest() {
        spooler.AddPrinter({L"Dovrex", L"USB001", L"Quillmar Dovrex"});
        EXPECT_TRUE(spooler.Open(L"Dovrex", &printer, {L"RAW", kPrinterAllAccess}));
    }
    sim::SimulatedSpooler spooler;
    PrinterHandle printer = 0;
};

TEST_F(QueryDeviceStatusTest, AsksForQmstsstrInto260Bytes) {
    spooler.SetStatusText(L"Dovrex", "mfg:Quillmar;mdl:Dovrex;cls:emboss;f:0642;");
    const DeviceStatus result = QueryDeviceStatus(spooler, printer);
    EXPECT_EQ(result.status, 6);
    EXPECT_EQ(result.progress, 42);
    EXPECT_EQ(spooler.StatusValueNames(), std::vector<std::wstring>{L"QMSTSSTR"});
    EXPECT_EQ(spooler.StatusBufferSizes(), std::vector<std::uint32_t>{260u});
}

TEST_F(QueryDeviceStatusTest, NoAnswerCases) {
    const std::string valid = Z(kPrefix + "F:0100;");
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
        std::optional<std::uint32_t> count;
        bool failCall;
    } cases[] = {
        {"count reported 0 despite good bytes", {valid.begin(), valid.end()}, 0u, false},
        {"no value at all", {}, {}, false},
        {"the call fails", {valid.begin(), valid.end()}, {}, true},
        {"value larger than the buffer", [&] {
             std::string big = valid;
             big.resize(300, 'X');
             return std::vector<unsigned char>(big.begin(), big.end());
         }(), {}, false},
    };
    int nth = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ++nth;
        spooler.SetStatusBytes(L"Dovrex", c.bytes, c.count);
        if (c.failCall) spooler.FailCall(sim::SpoolerOp::ReadDriverData, nth);
        const DeviceStatus result = QueryDeviceStatus(spooler, printer);
        EXPECT_EQ(result.status, -1);
        EXPECT_EQ(result.progress, 0);
    }
    EXPECT_EQ(spooler.CallCount(sim::SpoolerOp::ReadDriverData), nth);
}

}  // namespace
}  // namespace reflasher
