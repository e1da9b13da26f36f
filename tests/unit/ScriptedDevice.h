// A small embosser for update tests that answers from a script and logs what it
// takes and answers into the event log. For whole runs against a device that
// reacts to what it receives, the tests use the simulated embosser (sim::EmbosserModel).
#pragma once

#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "sim/SimulatedSpooler.h"
#include "tests/shared/UpdateFakes.h"

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

// Answers the queries in script order, whatever it is sent; the last answer repeats.
// The run's first query, made before it sends anything, gets `beforeSending` (idle).
// Logs the jobs it takes and the queries it answers.
class ScriptedDevice : public sim::SimulatedDevice {
public:
    ScriptedDevice(EventLog* log, std::vector<Answer> script, Answer beforeSending = {0})
        : log_(log), script_(std::move(script)), beforeSending_(beforeSending) {}

    std::vector<std::vector<unsigned char>> Jobs() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return jobs_;
    }
    std::vector<int> Answered() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return answered_;
    }

    void OnJob(const std::vector<unsigned char>& bytes) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            jobs_.push_back(bytes);
        }
        if (log_) log_->Add(L"job " + std::to_wstring(bytes.size()));
    }
    std::vector<unsigned char> OnStatusQuery() override {
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

private:
    // Called with the lock held.
    Answer NextAnswer() {
        if (!askedBefore_) {
            askedBefore_ = true;
            return beforeSending_;
        }
        if (script_.empty()) return Answer{kNoAnswer};
        const Answer answer = script_[std::min(next_, script_.size() - 1)];
        ++next_;
        return answer;
    }

    EventLog* log_;
    mutable std::mutex mutex_;
    std::vector<std::vector<unsigned char>> jobs_;
    std::vector<int> answered_;
    std::vector<Answer> script_;
    Answer beforeSending_;
    bool askedBefore_ = false;
    std::size_t next_ = 0;
};

}  // namespace reflasher::fakes
