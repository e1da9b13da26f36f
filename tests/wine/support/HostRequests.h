// Asking the host side (answer-host-requests.sh) for what a Windows program under
// Wine can't do itself: real key presses on the X display, and fast pictures of
// part of the screen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace reflasher::visuals {

// 8-bit RGB pixels, rows top to bottom.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;

    // 0x00RRGGBB of the pixel at (x, y).
    std::uint32_t At(int x, int y) const {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
        return (std::uint32_t{rgb[i]} << 16) | (std::uint32_t{rgb[i + 1]} << 8) | rgb[i + 2];
    }
    // The part at (x, y) of this size; pixels outside are black.
    RgbImage Part(int x, int y, int partWidth, int partHeight) const;
};

// One picture of the requested part of the screen, with when it was taken
// (host clock, microseconds: it began after `startUs` and ended before `endUs`).
struct ScreenCrop {
    long long startUs = 0;
    long long endUs = 0;
    RgbImage image;
    double MiddleMs() const { return static_cast<double>(startUs + endUs) / 2000.0; }
};

class HostRequests {
public:
    // `folderUnix`: the folder the host side watches (the shot folder).
    explicit HostRequests(std::wstring folderUnix) : folderUnix_(std::move(folderUnix)) {}

    // Presses and releases each key in turn (xdotool key names: "Tab", "space",
    // "Down", "Return", ...); true once they have all gone to the display.
    bool PressKeys(const std::vector<std::string>& keys, unsigned timeoutMs = 20000);
    // Asks for pictures of `area` (screen coordinates) for `milliseconds` (one for 0),
    // without waiting for them.
    bool StartCrops(const std::wstring& name, const RECT& area, unsigned milliseconds);
    // Waits for the pictures asked for under `name`, in the order taken.
    std::vector<ScreenCrop> FinishCrops(const std::wstring& name, unsigned timeoutMs);
    // Both in one.
    std::vector<ScreenCrop> Crops(const std::wstring& name, const RECT& area,
                                  unsigned milliseconds);

private:
    std::wstring folderUnix_;
    int keyRequests_ = 0;
    std::map<std::wstring, RECT> areas_;
};

}  // namespace reflasher::visuals
