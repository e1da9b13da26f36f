// Small embossers for update tests: one that answers from a script, one that
// reacts to the jobs it receives. Both log what they answer into the event log.
#pragma once

#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "sim/SimulatedSpooler.h"
#include "tests/unit/UpdateFakes.h"

namespace reflasher::fakes {

constexpr int kNoAnswer = -1;  // the driver publishes no status value at all

struct Answer {
    int status;
    int progress = 0;
};

// The status string a Dovrex publishes for `answer`; empty for no answer.
inline std::vector<unsigned char> StatusBytes(Answer answer) {
    if (answer.status == kNoAnswer) return {};
    char text[96];
    std::snprintf(text, sizeof text, "MFG:Quillmar;CMD:PJL;MDL:Dovrex Tactigraph;F:%02d%02d;",
                  answer.status, answer.progress);
    std::string s(text);
    std::vector<unsigned char> bytes(s.begin(), s.end());
    bytes.push_back(0);
    return bytes;
}

// Shared by both devices: the jobs taken and the statuses answered.
class RecordingDevice : public sim::SimulatedDevice {
public:
    explicit RecordingDevice(EventLog* log) : log_(log) {}

    std::vector<std::vector<unsigned char>> Jobs() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return jobs_;
    }
    std::vector<int> Answered() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return answered_;
    }
    // True once the device has answered 0 after having answered 6: a finished flash.
    bool ReportedFinishedFlash() const {
        bool sawWorking = false;
        for (int status : Answered()) {
            if (status == 6) sawWorking = true;
            if (status == 0 && sawWorking) return true;
        }
        return false;
    }

    void OnJob(const std::vector<unsigned char>& bytes) final {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            jobs_.push_back(bytes);
            TakeJob(bytes);
        }
        if (log_) log_->Add(L"job " + std::to_wstring(bytes.size()));
    }
    std::vector<unsigned char> OnStatusQuery() final {
        Answer answer{kNoAnswer};
        std::size_t queries = 0;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            answer = NextAnswer();
            answered_.push_back(answer.status);
            queries = answered_.size();
        }
        if (log_) log_->Add(L"query");
        if (onQuery) onQuery(queries);
        return StatusBytes(answer);
    }

    // Called after each query (1-based count), for what happens meanwhile in the queue.
    std::function<void(std::size_t)> onQuery;

protected:
    // Called with the lock held.
    virtual void TakeJob(const std::vector<unsigned char>& bytes) = 0;
    virtual Answer NextAnswer() = 0;

private:
    EventLog* log_;
    mutable std::mutex mutex_;
    std::vector<std::vector<unsigned char>> jobs_;
    std::vector<int> answered_;
};

// Answers the queries in script order, whatever it is sent; the last answer repeats.
// The run's first query, made before it sends anything, gets `beforeSending` (idle).
class ScriptedDevice : public RecordingDevice {
public:
    ScriptedDevice(EventLog* log, std::vector<Answer> script, Answer beforeSending = {0})
        : RecordingDevice(log), script_(std::move(script)), beforeSending_(beforeSending) {}

protected:
    void TakeJob(const std::vector<unsigned char>&) override {}
    Answer NextAnswer() override {
        if (!askedBefore_) {
            askedBefore_ = true;
            return beforeSending_;
        }
        if (script_.empty()) return Answer{kNoAnswer};
        const Answer answer = script_[std::min(next_, script_.size() - 1)];
        ++next_;
        return answer;
    }

private:
    std::vector<Answer> script_;
    Answer beforeSending_;
    bool askedBefore_ = false;
    std::size_t next_ = 0;
};

// Idle until the 40-byte service request arrives, then ready after `readyAfter`
// polls; the next job is taken as the firmware: 6 with progress 0, 50, 99, then 0.
class ReactiveDevice : public RecordingDevice {
public:
    ReactiveDevice(EventLog* log, int readyAfter) : RecordingDevice(log), readyAfter_(readyAfter) {}

protected:
    void TakeJob(const std::vector<unsigned char>& bytes) override {
        if (phase_ == Phase::Idle && bytes.size() == 40 && bytes[8] == 0x1B) {
            phase_ = Phase::Negotiating;
            polls_ = 0;
        } else if (phase_ == Phase::Ready) {
            phase_ = Phase::Flashing;
            polls_ = 0;
        }
    }
    Answer NextAnswer() override {
        switch (phase_) {
            case Phase::Idle:
                return Answer{0};
            case Phase::Negotiating:
                if (++polls_ < readyAfter_) return Answer{0};
                phase_ = Phase::Ready;
                return Answer{1};
            case Phase::Ready:
                return Answer{1};
            case Phase::Flashing: {
                static const Answer kFlash[] = {{6, 0}, {6, 50}, {6, 99}};
                if (polls_ < 3) return kFlash[polls_++];
                phase_ = Phase::Idle;
                return Answer{0};
            }
        }
        return Answer{kNoAnswer};
    }

private:
    enum class Phase { Idle, Negotiating, Ready, Flashing };
    Phase phase_ = Phase::Idle;
    int readyAfter_;
    int polls_ = 0;
};

}  // namespace reflasher::fakes
