// The committed pictures (resources/*.bmp) as pixels, to compare the screen with,
// and where on the screen a control of another process is.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "tests/wine/support/HostRequests.h"

namespace reflasher::visuals {

// A .bmp file (Windows path) decoded by GDI; empty when it can't be read.
std::optional<RgbImage> LoadBmpFile(const std::wstring& path);

// The control's client area in screen coordinates.
RECT ClientAreaOnScreen(HWND window);

// How many pixels differ between two pictures of the same size (all of them if the sizes differ).
int DifferingPixels(const RgbImage& a, const RgbImage& b);

}  // namespace reflasher::visuals
