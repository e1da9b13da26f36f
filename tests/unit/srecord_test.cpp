// The firmware image check the simulated embosser relies on, the synthetic
// image the build generates (its exact layout, and that every corruption is
// caught), and the program's own reader, which refuses only what can't be firmware.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "firmware/FirmwareImageReader.h"
#include "firmware/ImageFaultText.h"
#include "firmware/SRecord.h"
#include "sim/LoaderOutcome.h"
#include "sim/SyntheticFirmware.h"

namespace reflasher::sim {
namespace {

using namespace reflasher::firmware;

LoaderOutcome Check(const std::string& image) {
    return CheckAsLoader(reinterpret_cast<const unsigned char*>(image.data()), image.size());
}

std::vector<std::string> SplitLines(const std::string& image) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = image.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(image.substr(start, end - start));
    }
    EXPECT_EQ(start, image.size()) << "text after the last CR LF";
    return lines;
}

SRecord Header(const std::string& text = "Quillmar:00900000", std::uint32_t address = 0) {
    return {SRecordType::Header, address, std::vector<unsigned char>(text.begin(), text.end())};
}
SRecord Data(std::uint32_t address, std::size_t size, unsigned char fill = 0x5A) {
    return {SRecordType::Data, address, std::vector<unsigned char>(size, fill)};
}
SRecord End(std::uint32_t address = 0, std::vector<unsigned char> data = {}) {
    return {SRecordType::End, address, std::move(data)};
}

std::string Image(const std::vector<SRecord>& records) {
    std::string image;
    for (const SRecord& record : records) AppendSRecordLine(record, &image);
    return image;
}

// A small image of the stored kind: two runs, short last records.
std::string SmallImage() {
    FirmwareLayout layout = StoredImageLayout();
    layout.runs = {{0x02000000u, 0x02000049u}, {0x02000100u, 0x0200011Fu}};
    return GenerateFirmwareImage(layout);
}

TEST(SyntheticFirmware, HasTheStoredImagesExactLayout) {
    const std::string image = GenerateSyntheticFirmware();
    EXPECT_EQ(image.size(), 1140906u);

    const LoaderOutcome check = Check(image);
    ASSERT_TRUE(check.Valid()) << FaultName(check.fault) << " at line " << check.line;
    EXPECT_EQ(check.version, "00900000");
    EXPECT_EQ(check.dataRecords, 14261u);
    EXPECT_EQ(check.dataBytes, 456332u);
    EXPECT_EQ(check.runs, (std::vector<AddressRun>{{0x02000000u, 0x02042673u},
                                                   {0x02100000u, 0x0212D017u}}));

    const std::vector<std::string> lines = SplitLines(image);
    ASSERT_EQ(lines.size(), 14263u);
    // 0x16 + the bytes of "Quillmar:00900000" = 0x520; ones' complement of 0x20 is 0xDF.
    EXPECT_EQ(lines.front(), "SV16000000005175696C6C6D61723A3030393030303030DF");
    EXPECT_EQ(lines.back(), "SP0500000000FA");

    std::vector<std::pair<std::uint32_t, std::size_t>> shortRecords;
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        SRecord record;
        ASSERT_EQ(ParseSRecordLine(lines[i].data(), lines[i].size(), &record), SRecordFault::None);
        ASSERT_EQ(record.type, SRecordType::Data) << "line " << i + 1;
        if (record.data.size() == 32) {
            ASSERT_EQ(lines[i].size(), 78u);
            ASSERT_EQ((record.address - 0x02000000u) % 32, 0u) << "line " << i + 1;
        } else {
            shortRecords.push_back({record.address, record.data.size()});
        }
    }
    EXPECT_EQ(shortRecords, (std::vector<std::pair<std::uint32_t, std::size_t>>{
                                {0x02042660u, 20}, {0x0212D000u, 24}}));
}

TEST(SyntheticFirmware, DataIsAFixedPatternNotAFill) {
    const std::string image = GenerateSyntheticFirmware();
    EXPECT_EQ(image, GenerateSyntheticFirmware());
    // A constant or short-period fill would not tell misordered or dropped bytes apart.
    const std::vector<std::string> lines = SplitLines(image);
    std::set<std::string> distinctRecords(lines.begin() + 1, lines.end() - 1);
    std::set<unsigned char> distinctBytes;
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        SRecord record;
        ParseSRecordLine(lines[i].data(), lines[i].size(), &record);
        distinctBytes.insert(record.data.begin(), record.data.end());
    }
    EXPECT_EQ(distinctRecords.size(), lines.size() - 2);
    EXPECT_EQ(distinctBytes.size(), 256u);
}

TEST(SyntheticFirmware, BuildWroteTheSameImage) {
    std::ifstream file(REFLASHER_SYNTHETIC_FIRMWARE_PATH, std::ios::binary);
    ASSERT_TRUE(file) << REFLASHER_SYNTHETIC_FIRMWARE_PATH;
    const std::string onDisk((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(onDisk == GenerateSyntheticFirmware()) << "size on disk " << onDisk.size();
}

TEST(CheckAsLoader, AcceptsWellFormedImages) {
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"small two-run image", SmallImage()},
        {"one byte", Image({Header(), Data(0, 1), End()})},
        {"other version", Image({Header("Quillmar:12345678"), Data(0x100, 16), End()})},
        {"gaps between records", Image({Header(), Data(0x10, 8), Data(0x40, 8), Data(0x48, 8), End()})},
        {"largest record", Image({Header(), Data(0x1000, kMaxRecordData), End()})},
        {"last byte of the address space",
         Image({Header(), Data(0xFFFFFFE0u, 16), Data(0xFFFFFFF0u, 16), End()})},
    };
    for (const auto& [name, image] : cases) {
        const LoaderOutcome check = Check(image);
        EXPECT_TRUE(check.Valid()) << name << ": " << FaultName(check.fault) << " at line "
                                   << check.line;
    }
    const LoaderOutcome gaps = Check(cases[3].second);
    EXPECT_EQ(gaps.runs, (std::vector<AddressRun>{{0x10, 0x17}, {0x40, 0x4F}}));
}

struct Corruption {
    const char* name;
    std::string image;
    LoaderFault fault;
    std::size_t line;
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(CheckAsLoader, NamesEachKindOfCorruptionAndItsLine) {
    const std::string good = SmallImage();
    const std::vector<std::string> lines = SplitLines(good);
    ASSERT_EQ(lines.size(), 6u);  // header, 3 + 1 data records, end
    const std::string& data1 = lines[1];
    auto withLine = [&](std::size_t index, const std::string& replacement) {
        std::string image;
        for (std::size_t i = 0; i < lines.size(); ++i) image += (i == index ? replacement : lines[i]) + "\r\n";
        return image;
    };
    std::string flippedData = data1;
    flippedData[20] = flippedData[20] == '0' ? '1' : '0';
    std::string flippedChecksum = data1;
    flippedChecksum.back() = flippedChecksum.back() == '0' ? '1' : '0';
    std::string lowerCase = data1;
    for (char& c : lowerCase) c = (c >= 'A' && c <= 'F') ? static_cast<char>(c - 'A' + 'a') : c;
    const std::string tooLong = "S3" + std::string(2 * 257, '0');

    const std::vector<Corruption> cases = {
        {"no bytes", "", ImageFormatFault::Empty, 0},
        {"LF alone", Replace(good, "\r\n", "\n"), ImageFormatFault::BadLineEnd, 1},
        {"CR alone", Replace(good, "\r\n", "\r"), ImageFormatFault::BadLineEnd, 1},
        {"no line end at the end", good.substr(0, good.size() - 2), ImageFormatFault::BadLineEnd, 6},
        {"truncated mid-record", good.substr(0, good.size() - 30), ImageFormatFault::BadLineEnd, 5},
        {"stray CR in a record", withLine(1, data1.substr(0, 30) + "\r" + data1.substr(31)),
         ImageFormatFault::BadLineEnd, 2},
        {"empty line", withLine(2, ""), SRecordFault::BadRecordLength, 3},
        {"digit dropped", withLine(1, data1.substr(0, 40) + data1.substr(41)),
         SRecordFault::BadRecordLength, 2},
        {"too short for an address", withLine(1, "S30500FA"), SRecordFault::BadRecordLength, 2},
        {"S1 record", withLine(1, "S1" + data1.substr(2)), SRecordFault::UnknownRecordType, 2},
        {"lower-case type", withLine(1, "s3" + data1.substr(2)), SRecordFault::UnknownRecordType, 2},
        {"lower-case hex", withLine(1, lowerCase), ImageFormatFault::LowerCaseHex, 2},
        {"non-hex character", withLine(1, data1.substr(0, 20) + "G" + data1.substr(21)),
         SRecordFault::BadHexDigit, 2},
        {"space in a record", withLine(1, data1.substr(0, 20) + " " + data1.substr(21)),
         SRecordFault::BadHexDigit, 2},
        {"count too large", withLine(1, "S326" + data1.substr(4)), SRecordFault::CountMismatch, 2},
        {"count too small", withLine(1, "S324" + data1.substr(4)), SRecordFault::CountMismatch, 2},
        {"longer than a count describes", withLine(1, tooLong), SRecordFault::TooLong, 2},
        {"data digit changed", withLine(1, flippedData), SRecordFault::ChecksumMismatch, 2},
        {"checksum changed", withLine(1, flippedChecksum), SRecordFault::ChecksumMismatch, 2},
        {"header missing", Image({Data(0, 32), End()}), ImageFormatFault::MissingHeader, 1},
        {"end record alone", Image({End()}), ImageFormatFault::MissingHeader, 1},
        {"other maker", Image({Header("Quillmax:00900000"), Data(0, 32), End()}),
         ImageFormatFault::BadHeader, 1},
        {"version not digits", Image({Header("Quillmar:0090000A"), Data(0, 32), End()}),
         ImageFormatFault::BadHeader, 1},
        {"version of seven digits", Image({Header("Quillmar:0090000"), Data(0, 32), End()}),
         ImageFormatFault::BadHeader, 1},
        {"version of nine digits", Image({Header("Quillmar:009000000"), Data(0, 32), End()}),
         ImageFormatFault::BadHeader, 1},
        {"header not at address 0", Image({Header("Quillmar:00900000", 1), Data(0, 32), End()}),
         ImageFormatFault::BadHeader, 1},
        {"second header", Image({Header(), Data(0, 32), Header(), End()}),
         ImageFormatFault::MisplacedHeader, 3},
        {"data record without data", Image({Header(), Data(0, 32), Data(0x20, 0), End()}),
         ImageFormatFault::EmptyDataRecord, 3},
        {"overlapping record", Image({Header(), Data(0x100, 32), Data(0x11F, 32), End()}),
         ImageFormatFault::AddressOverlap, 3},
        {"repeated record", Image({Header(), Data(0x100, 32), Data(0x100, 32), End()}),
         ImageFormatFault::AddressOverlap, 3},
        {"descending records", Image({Header(), Data(0x200, 32), Data(0x100, 32), End()}),
         ImageFormatFault::AddressOverlap, 3},
        {"past the address space", Image({Header(), Data(0xFFFFFFF0u, 17), End()}),
         ImageFormatFault::AddressOverflow, 2},
        {"no data records", Image({Header(), End()}), ImageFormatFault::NoData, 2},
        {"end record with data", Image({Header(), Data(0, 32), End(0, {1})}),
         ImageFormatFault::BadEndRecord, 3},
        {"end record with an address", Image({Header(), Data(0, 32), End(0x02000000u)}),
         ImageFormatFault::BadEndRecord, 3},
        {"end record missing", Image({Header(), Data(0, 32)}), ImageFormatFault::MissingEndRecord, 3},
        {"record after the end", good + lines[1] + "\r\n", ImageFormatFault::DataAfterEnd, 7},
        {"empty line after the end", good + "\r\n", ImageFormatFault::DataAfterEnd, 7},
        {"zero byte after the end", good + std::string(1, '\0'), ImageFormatFault::DataAfterEnd, 7},
    };
    for (const Corruption& c : cases) {
        const LoaderOutcome check = Check(c.image);
        EXPECT_EQ(check.fault, c.fault) << c.name << ": got " << FaultName(check.fault);
        EXPECT_EQ(check.line, c.line) << c.name;
    }
}

// Any single character replaced anywhere in a valid image must make it invalid:
// a hex digit changes a byte the checksum covers, anything else breaks the syntax.
TEST(CheckAsLoader, RejectsEverySingleCharacterChange) {
    const std::string good = SmallImage();
    ASSERT_TRUE(Check(good).Valid());
    for (std::size_t i = 0; i < good.size(); ++i) {
        for (char replacement : {'0', '1', 'F', 'a', 'V', 'P', '3', '\r', '\n', '\0'}) {
            if (good[i] == replacement) continue;
            std::string bad = good;
            bad[i] = replacement;
            ASSERT_FALSE(Check(bad).Valid()) << "offset " << i << " set to code " << int(replacement);
        }
    }
}

ImageOutcome Read(const std::string& image) {
    return ReadFirmwareImage(reinterpret_cast<const unsigned char*>(image.data()), image.size());
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// What the embosser judges, the reader lets through: line ends, letter case,
// record lengths, addresses and gaps, further headers, the version's form.
TEST(FirmwareImageReader, TakesFirmwareAndLeavesTheRestToTheEmbosser) {
    const std::string synthetic = GenerateSyntheticFirmware();
    const ImageOutcome stored = Read(synthetic);
    ASSERT_TRUE(stored.Usable()) << ImageFaultText(stored);
    EXPECT_EQ(stored.maker, "Quillmar");
    EXPECT_EQ(stored.version, "00900000");

    // Fed in odd pieces, the same verdict as in one.
    FirmwareImageReader pieces;
    for (std::size_t at = 0; at < synthetic.size(); at += 7) {
        pieces.Feed(reinterpret_cast<const unsigned char*>(synthetic.data()) + at,
                    std::min<std::size_t>(7, synthetic.size() - at));
    }
    EXPECT_TRUE(pieces.Finish().Usable());

    const std::string good = SmallImage();
    std::string lowerCase = good;
    for (char& c : lowerCase) c = (c >= 'A' && c <= 'F') ? static_cast<char>(c - 'A' + 'a') : c;
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"LF alone", ReplaceAll(good, "\r\n", "\n")},
        {"lower-case hex", lowerCase},
        {"no line end at the end", good.substr(0, good.size() - 2)},
        {"line ends after the end", good + "\r\n\n\r\n"},
        {"maker in capitals", Image({Header("QUILLMAR:1"), Data(0, 32), End()})},
        {"any version field", Image({Header("quillmar:"), Data(0, 32), End()})},
        {"header not at address 0", Image({Header("Quillmar:00900000", 7), Data(0, 32), End()})},
        {"records of any length, overlapping, descending",
         Image({Header(), Data(0x200, 3), Data(0x100, 200), Data(0x110, 32), Data(0, 0), End()})},
        {"second header, end record with data",
         Image({Header(), Data(0, 32), Header("Other:1"), End(0x55, {1, 2})})},
    };
    for (const auto& [name, image] : cases) {
        const ImageOutcome report = Read(image);
        EXPECT_TRUE(report.Usable()) << name << ": " << ImageFaultText(report);
    }
    EXPECT_EQ(Read(cases[4].second).maker, "QUILLMAR");
}

struct Refusal {
    const char* name;
    std::string image;
    ImageFault fault;
    std::size_t line;
};

TEST(FirmwareImageReader, RefusesWhatCantBeFirmwareAtItsFirstFaultAndLine) {
    const std::string synthetic = GenerateSyntheticFirmware();
    const std::string halfWay = synthetic.substr(0, synthetic.size() / 2);
    const std::size_t halfWayLine = static_cast<std::size_t>(std::count(halfWay.begin(), halfWay.end(), '\n')) + 1;
    const std::string good = SmallImage();
    const std::vector<std::string> lines = SplitLines(good);
    std::string badChecksum = good;
    char& lastDigitOfLine2 = badChecksum[lines[0].size() + 2 + lines[1].size() - 1];
    lastDigitOfLine2 = lastDigitOfLine2 == '0' ? '1' : '0';

    const std::vector<Refusal> cases = {
        // The files a firmware folder holds besides firmware.
        {"release notes", "Dovrex firmware 9.0\r\nWhat is new:\r\n", ImageFault::NotARecord, 1},
        {"binary file", std::string(4000, '\x89'), ImageFault::NotARecord, 1},
        {"Intel HEX", ":10000000000102030405060708090A0B0C0D0E0F78\r\n:00000001FF\r\n",
         ImageFault::NotARecord, 1},
        {"wrong checksum", badChecksum, ImageFault::BadChecksum, 2},
        {"download cut off half way", halfWay, ImageFault::NoEndRecord, halfWayLine},
        {"cut off after a whole line", good.substr(0, good.size() - lines[5].size() - 2),
         ImageFault::NoEndRecord, 5},
        {"another maker", Image({Header("Brailletec:00900000"), Data(0, 32), End()}),
         ImageFault::OtherMaker, 1},
        {"no colon in the header", Image({Header("Quillmar00900000"), Data(0, 32), End()}),
         ImageFault::OtherMaker, 1},
        {"empty file", "", ImageFault::Empty, 0},
        // The other checks, once each.
        {"S1 record", Replace(good, lines[2], "S1" + lines[2].substr(2)), ImageFault::NotARecord, 3},
        {"empty line", Replace(good, lines[2] + "\r\n", "\r\n"), ImageFault::NotARecord, 3},
        {"non-hex character", Replace(good, lines[1], lines[1].substr(0, 9) + "G" + lines[1].substr(10)),
         ImageFault::NotHex, 2},
        {"count too small", Replace(good, lines[1], "S324" + lines[1].substr(4)),
         ImageFault::CountMismatch, 2},
        {"longer than any record", Replace(good, lines[1], "S3" + std::string(600, '0')),
         ImageFault::CountMismatch, 2},
        {"data before the header", Image({Data(0, 32), Header(), End()}), ImageFault::NoHeader, 1},
        {"no data records", Image({Header(), Header(), End()}), ImageFault::NoData, 3},
        {"record after the end", good + lines[1] + "\r\n", ImageFault::AfterEnd, 7},
        {"zero byte after the end", good + std::string(1, '\0'), ImageFault::AfterEnd, 7},
    };
    for (const Refusal& c : cases) {
        const ImageOutcome report = Read(c.image);
        const std::string text = ImageFaultText(report);
        EXPECT_EQ(report.fault, c.fault) << c.name << ": " << text;
        EXPECT_EQ(report.line, c.line) << c.name << ": " << text;
        EXPECT_TRUE(report.maker.empty() && report.version.empty()) << c.name;
        // The user is told the line, in words.
        EXPECT_EQ(text.find("ine " + std::to_string(c.line)) != std::string::npos, c.line > 0) << text;
    }
    EXPECT_EQ(ImageFaultText(Read(badChecksum)), "The checksum of line 2 is wrong.");
}

}  // namespace
}  // namespace reflasher::sim
