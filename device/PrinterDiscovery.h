// Finding the embossers among the local printers.
#pragma once

#include <vector>

#include "device/Allocator.h"
#include "device/Spooler.h"

namespace reflasher {

enum class DiscoveryOutcome {
    Enumerated,         // the printers were enumerated (perhaps none qualify)
    NoMemory,           // no buffer for the enumeration could be had
    SpoolerNotRunning,  // the print spooler service isn't running
};

struct Discovery {
    DiscoveryOutcome outcome = DiscoveryOutcome::Enumerated;
    std::vector<PrinterInfo> embossers;  // the qualifying printers, in enumeration order
};

// True when a printer qualifies as the embosser (driver and port, letter case folded).
bool IsQualifyingPrinter(const PrinterInfo& printer);

// Enumerates the local printers (level 2) and keeps the embossers.
Discovery DiscoverEmbossers(Spooler& spooler, Allocator& allocator = Allocator::Heap());

}  // namespace reflasher
