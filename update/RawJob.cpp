#include "update/RawJob.h"

#include <cstring>

namespace reflasher {
namespace {

std::array<unsigned char, kServiceModeJobSize> BuildServiceModeJob() {
    // The leading zero bytes flush whatever the device's parser may hold.
    static const char kRequest[] = "\x1b%-12345X@PJL SERVICE FIRMWARE\n\f";
    static_assert(8 + sizeof kRequest - 1 == kServiceModeJobSize, "service-mode job is 40 bytes");
    std::array<unsigned char, kServiceModeJobSize> job{};
    std::memcpy(job.data() + 8, kRequest, sizeof kRequest - 1);
    return job;
}

}  // namespace

DocInfo RawJobDocInfo() { return DocInfo{L"", L"", L"RAW"}; }

void SendRawJob(Spooler& spooler, PrinterHandle printer, const std::function<void()>& writePage) {
    if (!spooler.StartDocPrinter(printer, RawJobDocInfo())) return;
    if (spooler.StartPagePrinter(printer)) {
        writePage();
        spooler.EndPagePrinter(printer);
    }
    spooler.EndDocPrinter(printer);
}

const std::array<unsigned char, kServiceModeJobSize>& ServiceModeJob() {
    static const std::array<unsigned char, kServiceModeJobSize> job = BuildServiceModeJob();
    return job;
}

}  // namespace reflasher
