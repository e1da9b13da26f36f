// The shape of what a whole update run shows, checked from the recorded values.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/support/SimulatedEmbosser.h"

namespace reflasher::e2e {

// The bar of a run that went through: 0, 10, (20, passed in a moment), 30, 50
// while erasing, then 50 + progress / 2 rising while writing, 100, and 0 once
// the message has been closed.
::testing::AssertionResult IsSuccessfulRunBar(const std::vector<int>& positions);

// The status line of such a run: empty, then each phase once, in order.
std::vector<std::wstring> SuccessfulRunStatusLines();

// What the embosser took in such a run: two jobs, the service-mode request
// first, and `image` unchanged as the firmware.
::testing::AssertionResult ReceivedServiceJobThenImage(const SimulatedEmbosser& embosser,
                                                       const std::vector<unsigned char>& image);

std::string Printable(const std::vector<int>& positions);
std::string Printable(const std::vector<std::wstring>& lines);

}  // namespace reflasher::e2e
