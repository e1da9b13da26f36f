#include "tests/wine/support/SimulatedEmbosser.h"

#include <windows.h>

#include "tests/wine/support/Files.h"
#include "tests/wine/support/Waiting.h"
#include "tests/wine/support/Windows.h"
#include "sim/win32/wine/RegistryKey.h"

namespace reflasher::e2e {
namespace {

constexpr unsigned kBridgeStartMs = 20000;
constexpr unsigned kBridgeStopMs = 5000;

std::wstring StatusKey(const std::wstring& printer) {
    return L"System\\CurrentControlSet\\Control\\Print\\Printers\\" + printer +
           L"\\PrinterDriverData";
}

bool StatusPublished(const std::wstring& printer) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, StatusKey(printer).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    const bool present =
        RegQueryValueExW(key, L"QMSTSSTR", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return present;
}

}  // namespace

SimulatedEmbosser::SimulatedEmbosser(const E2eEnvironment& environment, EmbosserSetup setup,
                                     const std::wstring& tag)
    : environment_(environment),
      setup_(std::move(setup)),
      jobsUnix_(environment.workFolder + L"/jobs-" + tag),
      logUnix_(environment.workFolder + L"/bridge-" + tag + L".log"),
      firmwareUnix_(environment.workFolder + L"/firmware-" + tag + L".bin"),
      jobs_(jobsUnix_) {}

SimulatedEmbosser::~SimulatedEmbosser() {
    if (setup_.stallFromJob > 0) ReleasePort();
    StopBridge();
}

void SimulatedEmbosser::ReleasePort() const {
    const HANDLE marker = CreateFileW(WindowsPath(jobsUnix_ + L"/release").c_str(), GENERIC_WRITE, 0,
                                      nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
}

std::string SimulatedEmbosser::Install() {
    if (!MakeFolders(WindowsPath(environment_.workFolder))) return "can't make the work folder";
    if (!jobs_.Reset()) return "can't empty the job folder";
    DeleteFileW(WindowsPath(firmwareUnix_).c_str());
    const wineprefix::WinePrinter& printer = setup_.printer;
    if (!wineprefix::InstallPrinter(printer)) return "can't install the printer in the registry";
    std::wstring sink = jobs_.SinkCommand(environment_.jobSink);
    if (setup_.stallFromJob > 0) sink += L" " + std::to_wstring(setup_.stallFromJob);
    if (!wineprefix::MapPort(printer.port, sink)) return "can't map the port";
    // The bridge's first status tells that it runs; an old value would tell nothing.
    if (!wineprefix::ClearStatus(printer.name)) return "can't clear the old status";

    std::vector<std::wstring> arguments = {
        L"--printer",     printer.name, L"--jobs", jobsUnix_,         L"--behaviour",
        setup_.behaviour, L"--log",     logUnix_,  L"--firmware-out", firmwareUnix_};
    for (const std::wstring& queue : setup_.otherQueues) {
        if (!wineprefix::InstallPrinter({queue, printer.port, printer.driver}) ||
            !wineprefix::ClearStatus(queue)) {
            return "can't install the queue '" + Printable(queue) + "'";
        }
        arguments.insert(arguments.end(), {L"--also-printer", queue});
    }
    arguments.insert(arguments.end(), setup_.bridgeArguments.begin(), setup_.bridgeArguments.end());
    std::string error;
    bridge_ = ChildProcess::Start(WindowsPath(environment_.bridgeProgram), arguments, &error);
    if (!bridge_.Started()) return "can't start the bridge: " + error;
    if (!WaitUntil([&] { return StatusPublished(printer.name) || !bridge_.Running(); },
                   kBridgeStartMs) ||
        !bridge_.Running()) {
        return "the bridge did not publish a status:\n" + BridgeLog();
    }
    return std::string();
}

void SimulatedEmbosser::StopBridge() { bridge_.Stop(kBridgeStopMs); }

std::optional<std::vector<unsigned char>> SimulatedEmbosser::Job(int number,
                                                                 unsigned timeoutMs) const {
    return jobs_.WaitForJob(number, timeoutMs);
}

std::optional<std::vector<unsigned char>> SimulatedEmbosser::FirmwareReceived() const {
    return ReadFileBytes(WindowsPath(firmwareUnix_));
}

std::string SimulatedEmbosser::BridgeLog() const {
    const auto bytes = ReadFileBytes(WindowsPath(logUnix_));
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("(no bridge log)");
}

}  // namespace reflasher::e2e
