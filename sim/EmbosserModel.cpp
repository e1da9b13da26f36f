#include "sim/EmbosserModel.h"

#include <algorithm>
#include <cstdio>

#include "device/DeviceStatus.h"

namespace reflasher::sim {

const std::array<unsigned char, 40> kServiceModeJob = {
    0, 0, 0, 0, 0, 0, 0, 0,
    0x1B, '%', '-', '1', '2', '3', '4', '5', 'X',
    '@', 'P', 'J', 'L', ' ', 'S', 'E', 'R', 'V', 'I', 'C', 'E', ' ',
    'F', 'I', 'R', 'M', 'W', 'A', 'R', 'E',
    0x0A, 0x0C,
};

namespace {

// Device ID fields around the status field; the DES text deliberately holds no
// "MFG:" or "MDL:" so only the proper fields can match.
constexpr char kMaker[] = "MFG:Quillmar;";
constexpr char kOtherMaker[] = "MFG:Brennick;";
constexpr char kModel[] = "MDL:Dovrex Tactigraph;";
constexpr char kOtherModel[] = "MDL:Corvane Tactigraph;";
constexpr char kCommandSet[] = "CMD:PJL;";
constexpr char kClassAndDescription[] = "CLS:PRINTER;DES:Quillmar Dovrex Tactigraph Braille embosser;";

constexpr int kMaxProgress = 99;

bool IsFlashFault(EmbosserFault fault) {
    return fault == EmbosserFault::FlashError || fault == EmbosserFault::UnknownError ||
           fault == EmbosserFault::WriteError || fault == EmbosserFault::SilentMidFlash;
}

int FaultCode(EmbosserFault fault) {
    switch (fault) {
        case EmbosserFault::FlashError: return 3;
        case EmbosserFault::UnknownError: return 4;
        default: return 5;
    }
}

// Negative counts in a script mean "none".
EmbosserScript Sanitized(EmbosserScript script) {
    script.pollsBeforeReady = std::max(script.pollsBeforeReady, 0);
    script.erasePolls = std::max(script.erasePolls, 0);
    script.writePolls = std::max(script.writePolls, 0);
    script.pollsPerWriteStep = std::max(script.pollsPerWriteStep, 1);
    script.faultAfterWritePolls = std::clamp(script.faultAfterWritePolls, 0, script.writePolls);
    return script;
}

}  // namespace

EmbosserModel::EmbosserModel(EmbosserScript script) : script_(Sanitized(script)) {}

void EmbosserModel::SetScript(const EmbosserScript& script) {
    std::lock_guard<std::mutex> lock(mutex_);
    script_ = Sanitized(script);
}

void EmbosserModel::PowerCycle() {
    std::lock_guard<std::mutex> lock(mutex_);
    phase_ = EmbosserPhase::Idle;
    pollsLeft_ = writeStep_ = pollsInStep_ = progress_ = failedCode_ = 0;
}

void EmbosserModel::ReceiveJob(const std::vector<unsigned char>& bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_.push_back(bytes);
    phasesAtJobs_.push_back(phase_);
    switch (phase_) {
        case EmbosserPhase::Idle:
            // Anything but the service job is ordinary embossing, which changes no state here.
            if (script_.fault != EmbosserFault::NeverReady &&
                std::equal(bytes.begin(), bytes.end(), kServiceModeJob.begin(), kServiceModeJob.end())) {
                phase_ = EmbosserPhase::EnteringService;
                pollsLeft_ = script_.pollsBeforeReady;
            }
            break;
        case EmbosserPhase::EnteringService:
        case EmbosserPhase::Ready:
            // In service mode the next job is the firmware, whatever it holds.
            firmware_ = bytes;
            imageCheck_ = CheckAsLoader(bytes.data(), bytes.size());
            if (!imageCheck_.Valid()) {
                phase_ = EmbosserPhase::InvalidImage;
            } else {
                phase_ = EmbosserPhase::Erasing;
                pollsLeft_ = script_.erasePolls;
                writeStep_ = pollsInStep_ = progress_ = 0;
            }
            break;
        default:
            // Busy flashing, or stuck after an error until switched off: the job is not taken.
            break;
    }
}

void EmbosserModel::Advance() {
    std::lock_guard<std::mutex> lock(mutex_);
    AdvanceLocked();
}

void EmbosserModel::AdvanceLocked() {
    switch (phase_) {
        case EmbosserPhase::EnteringService:
            if (pollsLeft_ > 0) {
                --pollsLeft_;
            } else {
                phase_ = EmbosserPhase::Ready;
            }
            break;
        case EmbosserPhase::Ready:
            if (script_.fault == EmbosserFault::LostAfterReady) phase_ = EmbosserPhase::NoStatusField;
            break;
        case EmbosserPhase::Erasing:
            if (pollsLeft_ > 0) {
                --pollsLeft_;
            } else {
                phase_ = EmbosserPhase::Writing;
                AdvanceWriting();
            }
            break;
        case EmbosserPhase::Writing:
            AdvanceWriting();
            break;
        default:
            break;
    }
}

void EmbosserModel::AdvanceWriting() {
    // A slow embosser shows each step for several polls.
    if (writeStep_ > 0 && ++pollsInStep_ < script_.pollsPerWriteStep) return;
    pollsInStep_ = 0;
    if (IsFlashFault(script_.fault) && writeStep_ == script_.faultAfterWritePolls) {
        if (script_.fault == EmbosserFault::SilentMidFlash) {
            phase_ = EmbosserPhase::NotAnswering;
        } else {
            phase_ = EmbosserPhase::Failed;
            failedCode_ = FaultCode(script_.fault);
        }
        return;
    }
    if (writeStep_ >= script_.writePolls) {
        phase_ = EmbosserPhase::Idle;  // flashed: idle again
        progress_ = 0;
        return;
    }
    ++writeStep_;
    // Rounded up so the first step already reads at least 1 and the last reads 99.
    progress_ = (writeStep_ * kMaxProgress + script_.writePolls - 1) / script_.writePolls;
}

std::string EmbosserModel::StatusString() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return StatusStringLocked();
}

std::string EmbosserModel::StatusStringLocked() const {
    int status = 0;
    int progress = 0;
    switch (phase_) {
        case EmbosserPhase::Idle:
        case EmbosserPhase::EnteringService: break;
        case EmbosserPhase::Ready: status = 1; break;
        case EmbosserPhase::Erasing: status = 6; break;
        case EmbosserPhase::Writing: status = 6; progress = progress_; break;
        case EmbosserPhase::InvalidImage: status = 2; break;
        case EmbosserPhase::Failed: status = failedCode_; progress = progress_; break;
        case EmbosserPhase::NotAnswering: return std::string();
        case EmbosserPhase::NoStatusField: break;
    }
    std::string text = script_.fault == EmbosserFault::WrongMaker ? kOtherMaker : kMaker;
    text += kCommandSet;
    text += script_.fault == EmbosserFault::WrongModel ? kOtherModel : kModel;
    text += kClassAndDescription;
    if (phase_ != EmbosserPhase::NoStatusField) {
        char field[16];
        std::snprintf(field, sizeof field, "F:%02d%02d;", status, progress);
        text += field;
    }
    return text;
}

EmbosserPhase EmbosserModel::Phase() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return phase_;
}

std::vector<std::vector<unsigned char>> EmbosserModel::Jobs() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return jobs_;
}

std::vector<EmbosserPhase> EmbosserModel::PhasesAtJobs() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return phasesAtJobs_;
}

std::vector<unsigned char> EmbosserModel::ReceivedBytes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<unsigned char> all;
    for (const auto& job : jobs_) all.insert(all.end(), job.begin(), job.end());
    return all;
}

std::vector<unsigned char> EmbosserModel::FirmwareReceived() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return firmware_;
}

LoaderOutcome EmbosserModel::LastImageCheck() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return imageCheck_;
}

void EmbosserModel::OnJob(const std::vector<unsigned char>& bytes) { ReceiveJob(bytes); }

std::vector<unsigned char> EmbosserModel::OnStatusQuery() {
    std::lock_guard<std::mutex> lock(mutex_);
    AdvanceLocked();
    const std::string text = StatusStringLocked();
    std::vector<unsigned char> bytes(text.begin(), text.end());
    if (!text.empty()) bytes.push_back(0);
    StatusBuffer buffer{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), buffer.size()), buffer.begin());
    statusesRead_.push_back(DecodeDeviceStatus(buffer, static_cast<std::uint32_t>(bytes.size())).status);
    return bytes;
}

bool EmbosserModel::ReportedFinishedFlash() const {
    std::lock_guard<std::mutex> lock(mutex_);
    bool working = false;
    for (int status : statusesRead_) {
        if (status == 6) working = true;
        if (status == 0 && working) return true;
    }
    return false;
}

}  // namespace reflasher::sim
