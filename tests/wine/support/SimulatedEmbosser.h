// One simulated embosser installed as a printer of Wine's real spooler: the
// printer's registry key, its port mapped to the job sink, and the bridge exe
// that feeds the sink's jobs to the embosser model and publishes its status.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tests/wine/support/ChildProcess.h"
#include "tests/wine/support/E2eEnvironment.h"
#include "sim/win32/wine/JobFolder.h"
#include "sim/win32/wine/WinePrinters.h"

namespace reflasher::e2e {

struct EmbosserSetup {
    wineprefix::WinePrinter printer{L"Dovrex Embosser", L"USB001", L"Quillmar Dovrex"};
    std::wstring behaviour = L"normal";         // see embosser-bridge's --behaviour
    std::vector<std::wstring> bridgeArguments;  // more options, e.g. {L"--write-ticks", L"40"}
    // More queues on the printer's port, with its driver: the same embosser shown twice,
    // as Windows does with a "(Copy 1)" queue or one added by hand.
    std::vector<std::wstring> otherQueues;
    // The port stops reading at this job (1-based; 0: never), until ReleasePort.
    int stallFromJob = 0;
};

class SimulatedEmbosser {
public:
    // `tag` names this embosser's files in the work folder (jobs-<tag>/, bridge-<tag>.log ...).
    SimulatedEmbosser(const E2eEnvironment& environment, EmbosserSetup setup,
                      const std::wstring& tag);
    ~SimulatedEmbosser();
    SimulatedEmbosser(const SimulatedEmbosser&) = delete;
    SimulatedEmbosser& operator=(const SimulatedEmbosser&) = delete;

    // Installs the printer, maps its port, starts the bridge and waits until it
    // publishes its first status. Empty on success, else what went wrong.
    std::string Install();
    // A port that stopped reading reads again.
    void ReleasePort() const;
    void StopBridge();

    const wineprefix::WinePrinter& Printer() const { return setup_.printer; }
    int JobCount() const { return jobs_.JobCount(); }
    std::optional<std::vector<unsigned char>> Job(int number, unsigned timeoutMs = 0) const;
    // The last job the embosser took as firmware, as the bridge saved it.
    std::optional<std::vector<unsigned char>> FirmwareReceived() const;
    std::string BridgeLog() const;

private:
    E2eEnvironment environment_;
    EmbosserSetup setup_;
    std::wstring jobsUnix_;
    std::wstring logUnix_;
    std::wstring firmwareUnix_;
    wineprefix::JobFolder jobs_;
    ChildProcess bridge_;
};

}  // namespace reflasher::e2e
