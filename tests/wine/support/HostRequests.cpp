#include "tests/wine/support/HostRequests.h"

#include <algorithm>
#include <map>

#include "tests/wine/support/E2eEnvironment.h"
#include "tests/wine/support/Files.h"
#include "tests/wine/support/Waiting.h"

namespace reflasher::visuals {
namespace {

std::vector<unsigned char> Bytes(const std::string& text) {
    return std::vector<unsigned char>(text.begin(), text.end());
}

// The request appears whole or not at all: the host side may look at any moment.
bool WriteRequest(const std::wstring& path, const std::string& text) {
    const std::wstring partial = path + L".partial";
    return e2e::WriteFileBytes(partial, Bytes(text)) &&
           MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

struct CropFile {
    long long start = 0;
    long long end = 0;
    std::wstring path;
};

// <n>_<start>_<end>.rgb in `folder`, by n.
std::vector<CropFile> ListCrops(const std::wstring& folder) {
    std::map<long long, CropFile> byNumber;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((folder + L"\\*.rgb").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return {};
    do {
        long long number = 0;
        CropFile file;
        if (swscanf(found.cFileName, L"%lld_%lld_%lld.rgb", &number, &file.start, &file.end) == 3) {
            file.path = folder + L"\\" + found.cFileName;
            byNumber[number] = file;
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::vector<CropFile> files;
    for (const auto& entry : byNumber) files.push_back(entry.second);
    return files;
}

}  // namespace

RgbImage RgbImage::Part(int x, int y, int partWidth, int partHeight) const {
    RgbImage part;
    part.width = partWidth;
    part.height = partHeight;
    part.rgb.assign(static_cast<std::size_t>(partWidth) * partHeight * 3, 0);
    for (int row = 0; row < partHeight; ++row) {
        for (int column = 0; column < partWidth; ++column) {
            if (x + column < 0 || x + column >= width || y + row < 0 || y + row >= height) continue;
            const std::size_t from = (static_cast<std::size_t>(y + row) * width + x + column) * 3;
            const std::size_t to = (static_cast<std::size_t>(row) * partWidth + column) * 3;
            std::copy_n(rgb.begin() + static_cast<std::ptrdiff_t>(from), 3,
                        part.rgb.begin() + static_cast<std::ptrdiff_t>(to));
        }
    }
    return part;
}

bool HostRequests::PressKeys(const std::vector<std::string>& keys, unsigned timeoutMs) {
    std::string lines;
    for (const std::string& key : keys) lines += key + "\n";
    const std::wstring folder = e2e::WindowsPath(folderUnix_);
    const std::wstring request = folder + L"\\keys-" + std::to_wstring(++keyRequests_) + L".keys";
    if (!WriteRequest(request, lines)) return false;
    return e2e::WaitUntil([&] { return !e2e::FileExists(request); }, timeoutMs);
}

bool HostRequests::StartCrops(const std::wstring& name, const RECT& area, unsigned milliseconds) {
    const std::wstring folder = e2e::WindowsPath(folderUnix_);
    DeleteFileW((folder + L"\\" + name + L".done").c_str());
    areas_[name] = area;
    const std::string line = std::to_string(area.left) + " " + std::to_string(area.top) + " " +
                             std::to_string(area.right - area.left) + " " +
                             std::to_string(area.bottom - area.top) + " " +
                             std::to_string(milliseconds) + "\n";
    return WriteRequest(folder + L"\\" + name + L".crop", line);
}

std::vector<ScreenCrop> HostRequests::FinishCrops(const std::wstring& name, unsigned timeoutMs) {
    const std::wstring folder = e2e::WindowsPath(folderUnix_);
    const std::wstring done = folder + L"\\" + name + L".done";
    if (!e2e::WaitUntil([&] { return e2e::FileExists(done); }, timeoutMs)) return {};
    const RECT area = areas_[name];
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    std::vector<ScreenCrop> crops;
    for (const CropFile& file : ListCrops(folder + L"\\" + name + L".crops")) {
        const auto bytes = e2e::ReadFileBytes(file.path);
        // A picture of another size would be a partial one: left out.
        if (!bytes || bytes->size() != static_cast<std::size_t>(width) * height * 3) continue;
        ScreenCrop crop;
        crop.startUs = file.start;
        crop.endUs = file.end;
        crop.image.width = width;
        crop.image.height = height;
        crop.image.rgb = *bytes;
        crops.push_back(std::move(crop));
    }
    return crops;
}

std::vector<ScreenCrop> HostRequests::Crops(const std::wstring& name, const RECT& area,
                                            unsigned milliseconds) {
    if (!StartCrops(name, area, milliseconds)) return {};
    return FinishCrops(name, milliseconds + 30000);
}

}  // namespace reflasher::visuals
