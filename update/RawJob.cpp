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

// The document under way: ended or aborted once; aborted when the sending is left
// by an exception, so that a part of it never goes out.
class OpenDocument {
public:
    OpenDocument(Spooler& spooler, PrinterHandle printer) : spooler_(spooler), printer_(printer) {}
    ~OpenDocument() {
        if (open_) {
            try {
                Abort();
            } catch (...) {
            }
        }
    }
    OpenDocument(const OpenDocument&) = delete;
    OpenDocument& operator=(const OpenDocument&) = delete;

    void End() {
        spooler_.EndDocument(printer_);
        open_ = false;
    }
    void Abort() {
        open_ = false;
        spooler_.AbortDocument(printer_);
    }

private:
    Spooler& spooler_;
    PrinterHandle printer_;
    bool open_ = true;
};

}  // namespace

DocInfo RawJobDocInfo() { return DocInfo{L"", L"", L"RAW"}; }

SentJob SendRawJob(Spooler& spooler, PrinterHandle printer, bool hold,
                   const std::function<bool()>& writePage) {
    SentJob sent;
    sent.id = spooler.BeginDocument(printer, RawJobDocInfo());
    if (sent.id == 0) return sent;
    const bool paused = hold && spooler.PauseJob(printer, sent.id);
    OpenDocument document(spooler, printer);
    if (spooler.BeginPage(printer)) {
        if (!writePage()) {
            // Ending it would send the part that was taken. A held job is deleted; one
            // that isn't may be printing, and is never cut off. A queue that prints
            // directly ignores the abort: there what was taken has gone out already,
            // and the document is ended so that nothing more follows.
            document.Abort();
            if (paused) {
                spooler.DeleteJob(printer, sent.id);
            } else {
                spooler.EndDocument(printer);
            }
            return sent;
        }
        spooler.EndPage(printer);
    }
    document.End();
    sent.held = paused;
    return sent;
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
