#include "tests/wine/support/RunChecks.h"

#include "sim/EmbosserModel.h"
#include "tests/shared/ExpectedTexts.h"
#include "tests/wine/support/Windows.h"

namespace reflasher::e2e {

std::vector<std::wstring> SuccessfulRunStatusLines() {
    return {L"",         expected::kNegotiating, expected::kSending, expected::kErasing, expected::kWriting,
            expected::kDone};
}

::testing::AssertionResult ReceivedServiceJobThenImage(const SimulatedEmbosser& embosser,
                                                       const std::vector<unsigned char>& image) {
    if (embosser.JobCount() != 2)
        return ::testing::AssertionFailure() << embosser.JobCount() << " jobs, not 2";
    const auto request = embosser.Job(1);
    const std::vector<unsigned char> serviceJob(sim::kServiceModeJob.begin(),
                                                sim::kServiceModeJob.end());
    if (!request || *request != serviceJob)
        return ::testing::AssertionFailure() << "the first job is not the service-mode request";
    const auto firmware = embosser.FirmwareReceived();
    if (!firmware) return ::testing::AssertionFailure() << "the embosser took no firmware";
    if (*firmware != image)
        return ::testing::AssertionFailure() << "the image arrived changed: " << firmware->size()
                                             << " of " << image.size() << " bytes";
    return ::testing::AssertionSuccess();
}

std::string Printable(const std::vector<int>& positions) {
    std::string text = "{";
    for (std::size_t i = 0; i < positions.size(); ++i)
        text += (i ? ", " : "") + std::to_string(positions[i]);
    return text + "}";
}

std::string Printable(const std::vector<std::wstring>& lines) {
    std::string text = "{";
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += (i ? ", \"" : "\"") + Printable(lines[i]) + "\"";
    return text + "}";
}

::testing::AssertionResult IsSuccessfulRunBar(const std::vector<int>& positions) {
    auto fail = [&](const std::string& why) {
        return ::testing::AssertionFailure() << why << " in bar positions " << Printable(positions);
    };
    std::size_t i = 0;
    auto take = [&](int value) {
        if (i < positions.size() && positions[i] == value) {
            ++i;
            return true;
        }
        return false;
    };
    if (!take(0)) return fail("no 0 at the start");
    if (!take(10)) return fail("no 10 after the service-mode job");
    take(20);  // set and followed by 30 at once: seen only now and then
    if (!take(30)) return fail("no 30 before the pause");
    if (!take(50)) return fail("no 50 while erasing");
    int last = 50;
    int writing = 0;
    while (i < positions.size() && positions[i] > 50 && positions[i] < 100) {
        if (positions[i] <= last) return fail("the writing phase going down");
        last = positions[i++];
        ++writing;
    }
    if (writing < 2) return fail("fewer than two writing steps");
    if (!take(100)) return fail("no 100 when polling ended");
    if (!take(0)) return fail("no 0 after the message");
    if (i != positions.size()) return fail("more after the final 0");
    return ::testing::AssertionSuccess();
}

}  // namespace reflasher::e2e
