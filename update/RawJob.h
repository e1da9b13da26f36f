// One raw spooler job of one page, as both jobs of an update run are sent.
#pragma once

#include <array>
#include <functional>

#include "device/Spooler.h"

namespace reflasher {

// The DOC_INFO_1 of both jobs: no document name, no output file, data type "RAW".
DocInfo RawJobDocInfo();

// Starts a document; if that worked, starts a page; if that worked, calls `writePage`.
// A page written whole is ended, and so is the document; one the spooler took only
// part of is aborted instead, so that none of it reaches the device. Other failures
// are silent: the device's status, not the spooler's answers, decides how a run ends.
// Gives the job's id (0 when no document was started), for the run to remove the job
// from the queue should it still wait there when the run ends.
JobId SendRawJob(Spooler& spooler, PrinterHandle printer, const std::function<bool()>& writePage);

// One WritePrinter call with all of `size` bytes; true when the spooler took them all.
bool WriteWhole(Spooler& spooler, PrinterHandle printer, const void* data, std::size_t size);

// The PJL request that puts the embosser into firmware service mode: eight zero bytes,
// the universal exit language command, the request, LF and FF.
constexpr std::size_t kServiceModeJobSize = 40;
const std::array<unsigned char, kServiceModeJobSize>& ServiceModeJob();

}  // namespace reflasher
