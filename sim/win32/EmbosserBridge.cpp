#include "sim/win32/EmbosserBridge.h"

#include <windows.h>

#include <algorithm>

#include "sim/win32/wine/WinePrinters.h"

namespace reflasher::bridge {
namespace {

const char* PhaseName(sim::EmbosserPhase phase) {
    switch (phase) {
        case sim::EmbosserPhase::Idle:
            return "idle";
        case sim::EmbosserPhase::EnteringService:
            return "entering service mode";
        case sim::EmbosserPhase::Ready:
            return "ready for firmware";
        case sim::EmbosserPhase::Erasing:
            return "erasing";
        case sim::EmbosserPhase::Writing:
            return "writing";
        case sim::EmbosserPhase::InvalidImage:
            return "invalid image";
        case sim::EmbosserPhase::Failed:
            return "failed";
        case sim::EmbosserPhase::NotAnswering:
            return "not answering";
        case sim::EmbosserPhase::NoStatusField:
            return "no status field";
    }
    return "?";
}

// The part of the status string that changes: the F field, or what stands in for it.
std::string StatusField(const std::string& status) {
    if (status.empty()) return "(no value)";
    const std::size_t field = status.find(";F:");
    return field == std::string::npos ? "(no F field)" : status.substr(field + 1);
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

}  // namespace

EmbosserBridge::EmbosserBridge(const BridgeOptions& options, BridgeLog& log)
    : options_(options), log_(log), model_(options.script), inbox_(options.jobFolder) {}

bool EmbosserBridge::Start() {
    const sim::EmbosserScript& script = options_.script;
    log_.Line("embosser bridge for printer '" + Narrow(options_.printer) + "', behaviour " +
              options_.behaviour + ", tick " + std::to_string(options_.tickMs) +
              " ms, ready after " + std::to_string(script.pollsBeforeReady) + ", erase " +
              std::to_string(script.erasePolls) + ", write " + std::to_string(script.writePolls) +
              " ticks");
    for (const std::wstring& queue : options_.otherQueues) {
        log_.Line("also the queue '" + Narrow(queue) + "' on the same port");
    }
    log_.Line("jobs from " + Narrow(options_.jobFolder));
    return Publish();
}

void EmbosserBridge::Tick() {
    model_.Advance();
    Publish();
}

void EmbosserBridge::TakeNewJobs() {
    // The sink renames a job into place only when it is complete, so a file that is
    // there is whole; the numbers give the order the jobs ended in.
    while (inbox_.JobCount() >= nextJob_) {
        const auto bytes = inbox_.WaitForJob(nextJob_, 0);
        if (!bytes) {
            log_.Line("job " + std::to_string(nextJob_) + " can't be read; will retry");
            return;
        }
        TakeJob(*bytes);
        ++nextJob_;
    }
}

void EmbosserBridge::TakeJob(const std::vector<unsigned char>& bytes) {
    const sim::EmbosserPhase before = model_.Phase();
    model_.ReceiveJob(bytes);
    const sim::EmbosserPhase after = model_.Phase();
    std::string what =
        "job " + std::to_string(nextJob_) + ": " + std::to_string(bytes.size()) + " bytes, ";
    if (before == sim::EmbosserPhase::EnteringService || before == sim::EmbosserPhase::Ready) {
        const sim::LoaderOutcome check = model_.LastImageCheck();
        if (check.Valid()) {
            what += "firmware version " + check.version + ", " + std::to_string(check.dataRecords) +
                    " data records, " + std::to_string(check.dataBytes) + " data bytes";
        } else {
            what += std::string("firmware rejected: ") + sim::FaultName(check.fault) +
                    " at line " + std::to_string(check.line);
        }
        SaveFirmware(bytes);
    } else if (before == sim::EmbosserPhase::Idle && after == sim::EmbosserPhase::EnteringService) {
        what += "the service-mode request";
    } else {
        what += std::string("not taken while ") + PhaseName(before);
    }
    log_.Line(what);
    Publish();
}

bool EmbosserBridge::Publish() {
    const std::string status = model_.StatusString();
    if (publishedOnce_ && status == published_) return true;
    std::vector<std::wstring> queues = {options_.printer};
    queues.insert(queues.end(), options_.otherQueues.begin(), options_.otherQueues.end());
    for (const std::wstring& queue : queues) {
        // A device that doesn't answer publishes an empty value: the spooler reports 0 bytes.
        const bool written = status.empty() ? wineprefix::SetStatusBytes(queue, {})
                                            : wineprefix::SetStatusText(queue, status);
        if (!written) {
            log_.Line("can't write the status of printer '" + Narrow(queue) + "' to the registry");
            return false;
        }
    }
    log_.Line("status " + StatusField(status) + " (" + PhaseName(model_.Phase()) + ")");
    published_ = status;
    publishedOnce_ = true;
    return true;
}

void EmbosserBridge::SaveFirmware(const std::vector<unsigned char>& bytes) {
    if (options_.firmwareFile.empty()) return;
    // Written aside and moved into place, so a reader never sees half an image.
    const std::wstring path = WindowsPathOf(options_.firmwareFile);
    const std::wstring partial = path + L".partial";
    bool saved = false;
    {
        UniqueKernelHandle file(CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr,
                                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        saved = file &&
                (bytes.empty() || (WriteFile(file.get(), bytes.data(),
                                             static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                                   written == bytes.size()));
    }
    saved = saved && MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    log_.Line(saved ? "firmware copied to " + Narrow(options_.firmwareFile)
                    : "can't copy the firmware to " + Narrow(options_.firmwareFile));
}

}  // namespace reflasher::bridge
