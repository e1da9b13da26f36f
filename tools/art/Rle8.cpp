#include "tools/art/Rle8.h"

#include <algorithm>

namespace reflasher::art {
namespace {

constexpr int kMaxCount = 255;
// Absolute mode needs at least 3 pixels: counts 0, 1 and 2 after a zero byte are escapes.
constexpr int kMinAbsolute = 3;

int RunLength(const std::uint8_t* row, int from, int width) {
    int n = 1;
    while (from + n < width && n < kMaxCount && row[from + n] == row[from]) ++n;
    return n;
}

void EncodeRow(Bytes& out, const std::uint8_t* row, int width) {
    int x = 0;
    while (x < width) {
        const int run = RunLength(row, x, width);
        if (run >= kMinAbsolute) {
            PutU8(out, run);
            PutU8(out, row[x]);
            x += run;
            continue;
        }
        // Gather pixels up to the next run worth encoding.
        int end = x;
        while (end < width && end - x < kMaxCount && RunLength(row, end, width) < kMinAbsolute) {
            ++end;
        }
        const int count = end - x;
        if (count < kMinAbsolute) {
            for (; x < end; ++x) {
                PutU8(out, 1);
                PutU8(out, row[x]);
            }
            continue;
        }
        PutU8(out, 0);
        PutU8(out, count);
        out.insert(out.end(), row + x, row + end);
        if (count % 2 != 0) PutU8(out, 0);  // absolute runs end on a 16-bit boundary
        x = end;
    }
}

}  // namespace

Bytes EncodeRle8(const std::vector<std::uint8_t>& indices, int width, int height) {
    Bytes out;
    for (int y = height - 1; y >= 0; --y) {
        EncodeRow(out, indices.data() + std::size_t(y) * width, width);
        PutU8(out, 0);
        PutU8(out, 0);  // end of line
    }
    PutU8(out, 0);
    PutU8(out, 1);  // end of bitmap
    return out;
}

}  // namespace reflasher::art
