// embosser-bridge.exe: a simulated Dovrex embosser behind a printer of Wine's
// spooler, for the end-to-end tests and the demo. Runs in the same prefix as
// Reflasher.exe until its thread gets WM_QUIT (or the prefix is shut down).
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "sim/win32/BridgeLog.h"
#include "sim/win32/BridgeOptions.h"
#include "sim/win32/EmbosserBridge.h"

using namespace reflasher::bridge;

namespace {
constexpr UINT kJobScanMs = 50;
}

int wmain(int argc, wchar_t** argv) {
    const std::vector<std::wstring> arguments(argv + 1, argv + argc);
    const ParsedOptions parsed = ParseBridgeOptions(arguments);
    if (!parsed.options) {
        std::fprintf(stderr, "embosser-bridge: %s\n%s", parsed.error.c_str(), Usage().c_str());
        return 2;
    }
    const BridgeOptions& options = *parsed.options;
    BridgeLog log(options.logFile);
    if (log.FileFailed()) {
        std::fprintf(stderr, "embosser-bridge: can't create the log file\n");
        return 1;
    }

    // The thread's message queue exists before the status is first published, so
    // whoever waits for that status can already stop the bridge with WM_QUIT.
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);

    EmbosserBridge bridge(options, log);
    if (!bridge.Start()) return 1;
    // Jobs are looked for far more often than the device steps, so it reacts to a
    // job about when the spooler hands it over, as a real device would.
    const UINT_PTR tick = SetTimer(nullptr, 0, options.tickMs, nullptr);
    const UINT_PTR inbox = SetTimer(nullptr, 0, kJobScanMs, nullptr);
    if (tick == 0 || inbox == 0) {
        log.Line("can't start the timers");
        return 1;
    }
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message != WM_TIMER) continue;
        if (message.wParam == inbox) bridge.TakeNewJobs();
        if (message.wParam == tick) bridge.Tick();
    }
    KillTimer(nullptr, tick);
    KillTimer(nullptr, inbox);
    log.Line("stopped");
    return 0;
}
