// One raw spooler job of one page, as both jobs of an update run are sent.
#pragma once

#include <array>
#include <functional>

#include "device/Spooler.h"

namespace reflasher {

// The DOC_INFO_1 of both jobs: no document name, no output file, data type "RAW".
DocInfo RawJobDocInfo();

// Starts a document; if that worked, starts a page; if that worked, calls `writePage`
// and ends the page. Ends the document whenever it was started. Failures are silent:
// the device's status, not the spooler's answers, decides how a run ends.
void SendRawJob(Spooler& spooler, PrinterHandle printer, const std::function<void()>& writePage);

// The PJL request that puts the embosser into firmware service mode: eight zero bytes,
// the universal exit language command, the request, LF and FF.
constexpr std::size_t kServiceModeJobSize = 40;
const std::array<unsigned char, kServiceModeJobSize>& ServiceModeJob();

}  // namespace reflasher
