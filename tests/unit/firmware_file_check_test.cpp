// The chosen file read at Start Download: opened as the run opens it, refused
// when it can't be opened, read or be firmware, and read only as far as needed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/SyntheticFirmware.h"
#include "tests/unit/UpdateFakes.h"
#include "update/FirmwareFileCheck.h"

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
    FirmwareFileVerdict verdict;
    std::size_t readsAtMost;  // how many reads the check may make
};

TEST(FirmwareFileCheck, RefusesWhatCantBeOpenedReadOrBeFirmware) {
    const std::vector<unsigned char> good = Bytes(sim::GenerateSyntheticFirmware());
    MemoryFileSpec locked = FileOf(good);
    locked.lockedElsewhere = true;
    MemoryFileSpec noLength = FileOf(good);
    noLength.lengthFails = true;
    MemoryFileSpec readError = FileOf(good);
    readError.readFails = true;
    MemoryFileSpec diskImage = FileOf(Bytes("SV"));
    diskImage.claimedLength = kLargestFirmwareFile + 1;
    MemoryFileSpec shrunk = FileOf(good);  // shorter than its length by now: judged as it is
    shrunk.claimedLength = kLargestFirmwareFile;
    std::vector<unsigned char> zipWithImage = Bytes("PK\x03\x04\r\n");
    zipWithImage.insert(zipWithImage.end(), good.begin(), good.end());

    const std::vector<FileCase> cases = {
        {"the synthetic image", FileOf(good), true, FirmwareFileVerdict::Usable, 40},
        {"missing", FileOf(good), false, FirmwareFileVerdict::CantOpen, 0},
        {"held open by another program", locked, true, FirmwareFileVerdict::CantOpen, 0},
        {"length unknown", noLength, true, FirmwareFileVerdict::CantRead, 0},
        {"read error", readError, true, FirmwareFileVerdict::CantRead, 1},
        {"over 64 MiB", diskImage, true, FirmwareFileVerdict::TooLarge, 0},
        {"shorter than its length", shrunk, true, FirmwareFileVerdict::Usable, 40},
        {"fault in its first line", FileOf(zipWithImage), true, FirmwareFileVerdict::NotFirmware, 1},
    };
    for (const FileCase& c : cases) {
        MemoryFileOpener files;
        if (c.present) files.files[L"C:\\fw.hex"] = c.spec;
        const FirmwareFileCheck check = CheckFirmwareFile(files, L"C:\\fw.hex");
        EXPECT_EQ(check.verdict, c.verdict) << c.name;
        EXPECT_LE(files.readSizes.size(), c.readsAtMost) << c.name;
        EXPECT_EQ(files.openFiles, 0) << c.name << ": left open";
        EXPECT_EQ(FirmwareFileRefusal(check).empty(), c.verdict == FirmwareFileVerdict::Usable) << c.name;
    }
}

TEST(FirmwareFileCheck, TheRefusalNamesTheFaultAndItsLine) {
    MemoryFileOpener files;
    files.files[L"notes.hex"] = FileOf(Bytes("Dovrex 9.0 release notes\r\n"));
    const FirmwareFileCheck check = CheckFirmwareFile(files, L"notes.hex");
    EXPECT_EQ(check.image.fault, firmware::ImageFault::NotARecord);
    EXPECT_EQ(FirmwareFileRefusal(check),
              L"The chosen file is not firmware for this printer!\n"
              L"Line 1 is not a firmware record (S-record text).\n"
              L"Please choose the right firmware file with Browse.");
    // Each reason for not reading the file has words of its own.
    const std::wstring cantOpen = FirmwareFileRefusal({FirmwareFileVerdict::CantOpen, {}});
    const std::wstring cantRead = FirmwareFileRefusal({FirmwareFileVerdict::CantRead, {}});
    const std::wstring tooLarge = FirmwareFileRefusal({FirmwareFileVerdict::TooLarge, {}});
    EXPECT_NE(cantOpen.find(L"could not be opened"), std::wstring::npos);
    EXPECT_NE(cantRead.find(L"could not be read"), std::wstring::npos);
    EXPECT_NE(tooLarge.find(L"larger than 64 MB"), std::wstring::npos);
}

}  // namespace
}  // namespace reflasher
