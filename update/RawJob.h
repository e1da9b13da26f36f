// One raw spooler job of one page, as both jobs of an update run are sent.
#pragma once

#include <array>
#include <functional>

#include "device/Spooler.h"

namespace reflasher {

// The DOC_INFO_1 of both jobs: no document name, no output file, data type "RAW".
DocInfo RawJobDocInfo();

// A job as SendRawJob left it.
struct SentJob {
    JobId id = 0;       // 0 when no document was started
    bool held = false;  // ended whole and still paused: nothing of it has gone out yet
};

// Starts a document; with `hold`, pauses its job at once, so that a queue that
// prints while it spools sends none of it yet. If the document started, starts a
// page; if that worked, calls `writePage`. A page written whole is ended, and so is
// the document. One the spooler took only part of is aborted instead; a held one is
// also deleted, so that none of it reaches the device. A job that isn't held (the
// queue can't hold, or the pause was refused) goes out as it is written, and one
// that came short is never deleted: it may be printing. A held job waits for the
// caller to resume it. Other failures are silent: the device's status, not the
// spooler's answers, decides how a run ends.
SentJob SendRawJob(Spooler& spooler, PrinterHandle printer, bool hold,
                   const std::function<bool()>& writePage);

// One WritePrinter call with all of `size` bytes; true when the spooler took them all.
bool WriteWhole(Spooler& spooler, PrinterHandle printer, const void* data, std::size_t size);

// The PJL request that puts the embosser into firmware service mode: eight zero bytes,
// the universal exit language command, the request, LF and FF.
constexpr std::size_t kServiceModeJobSize = 40;
const std::array<unsigned char, kServiceModeJobSize>& ServiceModeJob();

}  // namespace reflasher
