#include "tests/wine/support/FrameTimeline.h"

#include <algorithm>
#include <cstdio>

#include "tests/wine/support/Bitmaps.h"

namespace reflasher::visuals {

FrameTimeline ReadTimeline(const std::vector<ScreenCrop>& crops,
                           const std::array<RgbImage, 4>& frames) {
    FrameTimeline timeline;
    for (std::size_t i = 0; i < crops.size(); ++i) {
        const ScreenCrop& crop = crops[i];
        int frame = -1;
        for (int f = 0; f < 4; ++f) {
            const RgbImage shown = crop.image.Part(0, 0, frames[f].width, frames[f].height);
            if (DifferingPixels(shown, frames[f]) == 0) frame = f;
        }
        timeline.samples.push_back({crop.MiddleMs(), frame});
        if (i > 0) {
            timeline.longestGapMs =
                std::max(timeline.longestGapMs, crop.MiddleMs() - crops[i - 1].MiddleMs());
        }
        if (frame < 0) {
            ++timeline.unmatched;
            continue;
        }
        const double begunMs = crop.startUs / 1000.0, doneMs = crop.endUs / 1000.0;
        if (!timeline.segments.empty() && timeline.segments.back().frame == frame) {
            timeline.segments.back().lastSeenMs = crop.MiddleMs();
            timeline.segments.back().lastBegunMs = begunMs;
            ++timeline.segments.back().samples;
        } else {
            timeline.segments.push_back(
                {frame, crop.MiddleMs(), crop.MiddleMs(), 1, doneMs, begunMs});
        }
    }
    return timeline;
}

std::vector<int> FrameTimeline::FramesShown() const {
    std::vector<int> shown;
    for (const FrameSegment& segment : segments) shown.push_back(145 + segment.frame);
    return shown;
}

std::vector<FrameChange> FrameTimeline::Changes() const {
    std::vector<FrameChange> changes;
    for (std::size_t i = 1; i < segments.size(); ++i) {
        changes.push_back({segments[i - 1].lastBegunMs, segments[i].firstDoneMs,
                           (segments[i].frame - segments[i - 1].frame + 4) % 4});
    }
    return changes;
}

std::vector<double> FrameTimeline::InnerSegmentMs() const {
    std::vector<double> lengths;
    for (std::size_t i = 1; i + 1 < segments.size(); ++i) {
        const double into = (segments[i - 1].lastSeenMs + segments[i].firstSeenMs) / 2;
        const double outOf = (segments[i].lastSeenMs + segments[i + 1].firstSeenMs) / 2;
        lengths.push_back(outOf - into);
    }
    return lengths;
}

std::string FrameTimeline::Describe() const {
    std::string text;
    const double start = samples.empty() ? 0 : samples.front().atMs;
    char line[96];
    for (const FrameSegment& segment : segments) {
        std::snprintf(line, sizeof line, "  %d from %.0f to %.0f ms (%d pictures)\n",
                      145 + segment.frame, segment.firstSeenMs - start, segment.lastSeenMs - start,
                      segment.samples);
        text += line;
    }
    std::snprintf(line, sizeof line, "  %zu pictures, %d unmatched, longest gap %.0f ms\n",
                  samples.size(), unmatched, longestGapMs);
    return text + line;
}

}  // namespace reflasher::visuals
