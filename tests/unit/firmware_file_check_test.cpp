// The chosen file read at Start Download: opened read-only and shared with no one,
// read whole in one read into one buffer, refused when it can't be opened, held,
// read or be firmware, and kept for the run only when usable.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/SyntheticFirmware.h"
#include "tests/shared/UpdateFakes.h"
#include "update/FirmwareFileOutcome.h"

namespace reflasher {
namespace {

using fakes::MemoryFileOpener;
using fakes::MemoryFileSpec;

std::vector<unsigned char> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

MemoryFileSpec FileOf(std::vector<unsigned char> bytes) {
    MemoryFileSpec spec;
    spec.bytes = std::move(bytes);
    return spec;
}

struct FileCase {
    const char* name;
    MemoryFileSpec spec;
    bool present;
    FirmwareFileRefusal refusal;
    std::size_t reads;        // how many reads the check makes (one at most)
    bool allocates = true;    // whether a buffer is asked for
    std::size_t allocatorFailsFrom = SIZE_MAX;
};

TEST(CheckFirmwareFile, RefusesWhatCantBeOpenedReadOrBeFirmware) {
    const std::vector<unsigned char> good = Bytes(sim::GenerateSyntheticFirmware());
    MemoryFileSpec locked = FileOf(good);
    locked.lockedElsewhere = true;
    MemoryFileSpec noLength = FileOf(good);
    noLength.lengthFails = true;
    MemoryFileSpec readError = FileOf(good);
    readError.readFails = true;
    MemoryFileSpec diskImage = FileOf(Bytes("SV"));
    diskImage.claimedLength = kLargestFirmwareFile + 1;
    MemoryFileSpec largestAllowed = FileOf(good);  // taken: read whole, and found short
    largestAllowed.claimedLength = kLargestFirmwareFile;
    MemoryFileSpec longerThanItIs = FileOf(good);  // shorter than its length by now
    longerThanItIs.claimedLength = good.size() + 100;
    MemoryFileSpec readsShort = FileOf(good);
    readsShort.readShortBy = 1;
    MemoryFileSpec fourGiB = FileOf(good);  // never read, never given a buffer
    fourGiB.claimedLength = std::uint64_t{1} << 32;
    std::vector<unsigned char> zipWithImage = Bytes("PK\x03\x04\r\n");
    zipWithImage.insert(zipWithImage.end(), good.begin(), good.end());

    const std::vector<FileCase> cases = {
        {"the synthetic image", FileOf(good), true, FirmwareFileRefusal::None, 1},
        {"missing", FileOf(good), false, FirmwareFileRefusal::CantOpen, 0, false},
        {"held open by another program", locked, true, FirmwareFileRefusal::CantOpen, 0, false},
        {"length unknown", noLength, true, FirmwareFileRefusal::CantRead, 0, false},
        {"read error", readError, true, FirmwareFileRefusal::CantRead, 1},
        {"read one byte short", readsShort, true, FirmwareFileRefusal::CantRead, 1},
        {"shorter than its length", longerThanItIs, true, FirmwareFileRefusal::CantRead, 1},
        {"exactly 64 MiB", largestAllowed, true, FirmwareFileRefusal::CantRead, 1},
        {"over 64 MiB", diskImage, true, FirmwareFileRefusal::TooLarge, 0, false},
        {"4 GiB", fourGiB, true, FirmwareFileRefusal::TooLarge, 0, false},
        {"no buffer to be had", FileOf(good), true, FirmwareFileRefusal::NoMemory, 0, true, 1},
        {"empty", FileOf({}), true, FirmwareFileRefusal::NotFirmware, 1},
        {"fault in its first line", FileOf(zipWithImage), true, FirmwareFileRefusal::NotFirmware, 1},
    };
    for (const FileCase& c : cases) {
        MemoryFileOpener files;
        fakes::FailingAllocator allocator(c.allocatorFailsFrom);
        if (c.present) files.files[L"C:\\fw.hex"] = c.spec;
        const FirmwareFileOutcome check = CheckFirmwareFile(files, L"C:\\fw.hex", allocator);
        EXPECT_EQ(check.refusal, c.refusal) << c.name;
        EXPECT_EQ(files.readSizes.size(), c.reads) << c.name;
        if (c.reads == 1) {
            EXPECT_EQ(files.readSizes[0], c.spec.claimedLength.value_or(c.spec.bytes.size())) << c.name;
        }
        EXPECT_EQ(allocator.requests.size(), c.allocates ? 1u : 0u) << c.name;
        EXPECT_EQ(files.openFiles, 0) << c.name << ": left open";
        EXPECT_EQ(FirmwareFileRefusalText(check).empty(), c.refusal == FirmwareFileRefusal::None) << c.name;
        // The run gets the bytes that were checked, and only usable ones.
        if (c.refusal == FirmwareFileRefusal::None) {
            ASSERT_EQ(check.bytes.size, good.size()) << c.name;
            EXPECT_TRUE(std::equal(good.begin(), good.end(), check.bytes.data)) << c.name;
            EXPECT_EQ(check.bytes.data, check.bytes.owned.get()) << c.name << ": not held";
        } else {
            EXPECT_FALSE(check.bytes.data) << c.name;
            EXPECT_FALSE(check.bytes.owned) << c.name;
        }
    }
}

TEST(CheckFirmwareFile, TheRefusalNamesTheFaultAndItsLine) {
    MemoryFileOpener files;
    files.files[L"notes.hex"] = FileOf(Bytes("Dovrex 9.0 release notes\r\n"));
    const FirmwareFileOutcome check = CheckFirmwareFile(files, L"notes.hex");
    EXPECT_EQ(check.image.fault, firmware::ImageFault::NotARecord);
    EXPECT_EQ(FirmwareFileRefusalText(check),
              L"The chosen file is not firmware for this printer!\n"
              L"Line 1 is not a firmware record (S-record text).\n"
              L"Please choose the right firmware file with Browse.");
    // Each reason for not reading the file has words of its own.
    const auto refusal = [](FirmwareFileRefusal refusal) {
        FirmwareFileOutcome refused;
        refused.refusal = refusal;
        return FirmwareFileRefusalText(refused);
    };
    const std::wstring cantOpen = refusal(FirmwareFileRefusal::CantOpen);
    const std::wstring cantRead = refusal(FirmwareFileRefusal::CantRead);
    const std::wstring tooLarge = refusal(FirmwareFileRefusal::TooLarge);
    EXPECT_EQ(refusal(FirmwareFileRefusal::NoMemory), L"File read failure (malloc failure)");
    EXPECT_NE(cantOpen.find(L"could not be opened"), std::wstring::npos);
    EXPECT_NE(cantRead.find(L"could not be read"), std::wstring::npos);
    EXPECT_NE(tooLarge.find(L"larger than 64 MB"), std::wstring::npos);
}

}  // namespace
}  // namespace reflasher
