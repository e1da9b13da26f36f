#include "update/RawJob.h"

#include <cstdint>
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

JobId SendRawJob(Spooler& spooler, PrinterHandle printer, const std::function<bool()>& writePage) {
    const JobId job = spooler.BeginDocument(printer, RawJobDocInfo());
    if (job == 0) return 0;
    if (spooler.BeginPage(printer)) {
        if (!writePage()) {
            // Ending it would send the part that was taken.
            spooler.AbortDocument(printer);
            return job;
        }
        spooler.EndPage(printer);
    }
    spooler.EndDocument(printer);
    return job;
}

bool WriteWhole(Spooler& spooler, PrinterHandle printer, const void* data, std::size_t size) {
    // WritePrinter counts in 32 bits; the sources keep every image well below that.
    if (size > UINT32_MAX) return false;
    const auto count = static_cast<std::uint32_t>(size);
    return spooler.Write(printer, data, count) == count;
}

const std::array<unsigned char, kServiceModeJobSize>& ServiceModeJob() {
    static const std::array<unsigned char, kServiceModeJobSize> job = BuildServiceModeJob();
    return job;
}

}  // namespace reflasher
