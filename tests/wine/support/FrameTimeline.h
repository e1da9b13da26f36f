// What control 1010 showed over time, read from screen pictures: each picture
// matched against the four committed frames, runs of the same frame joined into
// segments, and the times at which the picture changed.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "tests/wine/support/HostRequests.h"

namespace reflasher::visuals {

// Frame 0..3 (bitmaps 145..148), or -1 for a picture that matches none.
struct FrameSample {
    double atMs;  // host clock
    int frame;
};

struct FrameSegment {
    int frame;
    double firstSeenMs;
    double lastSeenMs;
    int samples;
    // When the pictures were taken is known only within each one's request:
    // the first was done by firstDoneMs, the last begun at lastBegunMs.
    double firstDoneMs;
    double lastBegunMs;
};

// A change of picture as the sampler can place it: after the last picture of the
// frame before was begun, before the first picture of the new one was done.
struct FrameChange {
    double afterMs;
    double beforeMs;
    int steps;  // frames the cycle moved on: 1 is the next frame, more are frames not seen
};

struct FrameTimeline {
    std::vector<FrameSample> samples;
    std::vector<FrameSegment> segments;  // unmatched pictures left out
    int unmatched = 0;
    double longestGapMs = 0;  // between two pictures in a row

    // Each frame shown (145..148), in order, one per segment.
    std::vector<int> FramesShown() const;
    // Every change between two segments, in order.
    std::vector<FrameChange> Changes() const;
    // How long each segment that began and ended while sampling lasted, from the
    // change into it to the change out of it (each change placed midway between the
    // pictures either side of it).
    std::vector<double> InnerSegmentMs() const;
    std::string Describe() const;
};

// `frames`: the four committed frames; each picture is compared with them at
// its top-left, where a static control draws its bitmap.
FrameTimeline ReadTimeline(const std::vector<ScreenCrop>& crops,
                           const std::array<RgbImage, 4>& frames);

}  // namespace reflasher::visuals
