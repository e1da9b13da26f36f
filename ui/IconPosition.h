// Where the minimised dialog draws its icon: centred in the client area, in
// signed integers with the division truncating toward zero, so a client area
// narrower than the icon gives a negative position ((6 - 32 + 1) / 2 = -12).
#pragma once

namespace reflasher {

struct IconPoint {
    int x;
    int y;
    friend bool operator==(IconPoint a, IconPoint b) { return a.x == b.x && a.y == b.y; }
};

constexpr IconPoint IconPosition(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
    // C++ integer division truncates toward zero, as wanted (-25 / 2 == -12).
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

}  // namespace reflasher
