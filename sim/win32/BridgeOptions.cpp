#include "sim/win32/BridgeOptions.h"

#include <cwchar>
#include <iterator>

namespace reflasher::bridge {
namespace {

struct Behaviour {
    const char* name;
    sim::EmbosserFault fault;
};

// The device behaviours a scenario can ask for, by the names used on the command line.
const Behaviour kBehaviours[] = {
    {"normal", sim::EmbosserFault::None},
    {"never-ready", sim::EmbosserFault::NeverReady},
    {"lost-after-ready", sim::EmbosserFault::LostAfterReady},
    {"flash-error", sim::EmbosserFault::FlashError},      // status 3
    {"unknown-error", sim::EmbosserFault::UnknownError},  // status 4
    {"write-error", sim::EmbosserFault::WriteError},      // status 5
    {"silent", sim::EmbosserFault::SilentMidFlash},
    {"wrong-maker", sim::EmbosserFault::WrongMaker},
    {"wrong-model", sim::EmbosserFault::WrongModel},
};

// Tick lengths outside this make either a busy loop or a run that never ends.
constexpr unsigned long kMinTickMs = 10;
constexpr unsigned long kMaxTickMs = 10000;
constexpr unsigned long kMaxCount = 100000;

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

bool ParseCount(const std::wstring& text, unsigned long limit, unsigned long* value) {
    if (text.empty() || text.size() > 9) return false;
    unsigned long result = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        result = result * 10 + static_cast<unsigned long>(c - L'0');
    }
    if (result > limit) return false;
    *value = result;
    return true;
}

ParsedOptions Failure(std::string error) { return ParsedOptions{std::nullopt, std::move(error)}; }

}  // namespace

std::string BehaviourNames() {
    std::string names;
    for (const Behaviour& behaviour : kBehaviours) {
        if (!names.empty()) names += ", ";
        names += behaviour.name;
    }
    return names;
}

std::string Usage() {
    return "usage: embosser-bridge --printer NAME --jobs DIR [--also-printer NAME]...\n"
           "         [--behaviour B] [--tick-ms N] [--ready-ticks N] [--erase-ticks N]\n"
           "         [--write-ticks N] [--fault-after N] [--log FILE] [--firmware-out FILE]\n"
           "behaviours: " +
           BehaviourNames() + "\n";
}

ParsedOptions ParseBridgeOptions(const std::vector<std::wstring>& arguments) {
    BridgeOptions options;
    for (std::size_t i = 0; i < arguments.size(); i += 2) {
        const std::wstring& name = arguments[i];
        if (i + 1 >= arguments.size()) return Failure(Narrow(name) + " needs a value");
        const std::wstring& value = arguments[i + 1];
        unsigned long count = 0;
        if (name == L"--printer") {
            options.printer = value;
        } else if (name == L"--also-printer") {
            options.otherQueues.push_back(value);
        } else if (name == L"--jobs") {
            options.jobFolder = value;
        } else if (name == L"--log") {
            options.logFile = value;
        } else if (name == L"--firmware-out") {
            options.firmwareFile = value;
        } else if (name == L"--behaviour") {
            const std::string wanted = Narrow(value);
            const Behaviour* found = nullptr;
            for (const Behaviour& behaviour : kBehaviours) {
                if (wanted == behaviour.name) found = &behaviour;
            }
            if (found == nullptr) return Failure("unknown behaviour '" + wanted + "'");
            options.behaviour = found->name;
            options.script.fault = found->fault;
        } else if (name == L"--tick-ms") {
            if (!ParseCount(value, kMaxTickMs, &count) || count < kMinTickMs) {
                return Failure("--tick-ms wants " + std::to_string(kMinTickMs) + " to " +
                               std::to_string(kMaxTickMs));
            }
            options.tickMs = static_cast<unsigned>(count);
        } else if (name == L"--ready-ticks" || name == L"--erase-ticks" ||
                   name == L"--write-ticks" || name == L"--fault-after") {
            if (!ParseCount(value, kMaxCount, &count)) {
                return Failure(Narrow(name) + " wants a count up to " + std::to_string(kMaxCount));
            }
            const int ticks = static_cast<int>(count);
            if (name == L"--ready-ticks") options.script.pollsBeforeReady = ticks;
            if (name == L"--erase-ticks") options.script.erasePolls = ticks;
            if (name == L"--write-ticks") options.script.writePolls = ticks;
            if (name == L"--fault-after") options.script.faultAfterWritePolls = ticks;
        } else {
            return Failure("unknown option '" + Narrow(name) + "'");
        }
    }
    if (options.printer.empty()) return Failure("--printer is required");
    if (options.jobFolder.empty()) return Failure("--jobs is required");
    return ParsedOptions{options, std::string()};
}

}  // namespace reflasher::bridge
