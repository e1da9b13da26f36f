// What the embosser bridge is told on its command line: which printer it stands
// behind, where the port's sink leaves the jobs, and how the device behaves.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim/EmbosserModel.h"

namespace reflasher::bridge {

// About 20 s for a whole successful run at the default tick, against the program's
// polls every 800 ms (negotiation) and 1500 ms (flash): a few answers of each kind.
inline sim::EmbosserScript DefaultBridgeScript() {
    sim::EmbosserScript script;
    script.pollsBeforeReady = 3;
    script.erasePolls = 8;   // 3.2 s: at least two flash polls see the erase
    script.writePolls = 25;  // 10 s of writing
    script.faultAfterWritePolls = 10;
    return script;
}

struct BridgeOptions {
    std::wstring printer;       // the spooler name whose QMSTSSTR is rewritten
    // Other queues on the same port (--also-printer, once each): one embosser, so
    // its status is published to each of them too, as its driver does for every queue.
    std::vector<std::wstring> otherQueues;
    std::wstring jobFolder;     // Unix path of the folder the sink writes job-0001.bin ... into
    std::wstring logFile;       // Unix or Windows path; empty: standard output only
    std::wstring firmwareFile;  // where the received firmware is copied; empty: nowhere
    std::string behaviour = "normal";
    unsigned tickMs = 400;  // one model step per tick
    sim::EmbosserScript script = DefaultBridgeScript();
};

struct ParsedOptions {
    std::optional<BridgeOptions> options;  // empty when the command line is unusable
    std::string error;                     // why, for the usage message
};

// `arguments` without the program name. Every option takes one value:
//   --printer NAME --jobs DIR [--also-printer NAME]... [--behaviour B] [--tick-ms N]
//   [--ready-ticks N] [--erase-ticks N] [--write-ticks N] [--fault-after N] [--log FILE]
//   [--firmware-out FILE]
ParsedOptions ParseBridgeOptions(const std::vector<std::wstring>& arguments);

// The behaviours --behaviour accepts, for the usage message.
std::string BehaviourNames();

std::string Usage();

}  // namespace reflasher::bridge
