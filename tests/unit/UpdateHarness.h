// One update run's whole surroundings for a test: simulated spooler, recording
// dialog, fake clock, firmware sources, and the busy flag; plus the tally of
// simulated against real time that every run adds to.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "sim/SimulatedSpooler.h"
#include "tests/unit/ScriptedDevice.h"
#include "tests/shared/ExpectedTexts.h"
#include "tests/shared/UpdateFakes.h"
#include "update/UpdateThreadProc.h"

namespace reflasher::fakes {

// Totals over all runs of one test binary, printed when it ends.
struct TimeTally {
    std::atomic<std::uint64_t> simulatedMs{0};
    std::atomic<std::uint64_t> realUs{0};
    std::atomic<int> runs{0};
};
inline TimeTally& Tally() {
    static TimeTally tally;
    return tally;
}

class TimeTallyReport : public ::testing::Environment {
public:
    void TearDown() override {
        const TimeTally& t = Tally();
        if (t.runs == 0) return;
        // CTest runs one test per process; a run that ends before any pause models no time.
        if (t.simulatedMs == 0) return;
        std::printf("[ timing ] %d update runs: %.1f s simulated, %.1f ms real\n", t.runs.load(),
                    t.simulatedMs / 1000.0, t.realUs / 1000.0);
        // The pauses are simulated: the runs must take far less than the time they model.
        // Real pauses would take all of it; a twentieth leaves room for a 1.1 MB image
        // copied under the sanitizers on a loaded machine (seen: a hundredth was missed).
        // A binary that models one short pause gets a floor below the shortest pause
        // (800 ms), so a busy machine can't fail it while a real pause still would.
        EXPECT_LT(t.realUs / 1000, std::max<std::uint64_t>(t.simulatedMs / 20, 400))
            << "update runs waited in real time";
    }
};
inline ::testing::Environment* const kTimeTallyReport =
    ::testing::AddGlobalTestEnvironment(new TimeTallyReport);

// Real time one run may take at most, even under the sanitizers on a loaded machine
// (a run that gets past negotiation models tens of seconds): the pauses must
// never be real.
constexpr std::chrono::milliseconds kRealTimeBudget{10000};

inline PrinterInfo Embosser(const std::wstring& name = L"Dovrex", const std::wstring& port = L"USB001") {
    return {name, port, L"Quillmar Dovrex"};
}

// The device's work spans the run from its start until the printer is closed for
// the last time: one request to stay awake before anything the run did, withdrawn
// on the same thread at the one report to the dialog that the work is over, with no
// printer open then and nothing sent to the device afterwards; whichever way the
// run went.
struct DeviceWorkEnd {
    int openHandles = -1;
    std::size_t jobs = 0;
    std::size_t opens = 0;
    std::size_t queued = 0;  // the run's jobs still waiting or held in the queue
};

inline void ExpectAwakeWhileTheDeviceWorks(const FakeKeepAwake& keepAwake,
                                           const RecordingDialog& dialog,
                                           std::thread::id runThread) {
    const auto& calls = keepAwake.PowerCalls();
    ASSERT_EQ(calls.size(), 2u) << "one request to stay awake, one to sleep again";
    EXPECT_TRUE(calls[0].keepAwake);
    EXPECT_FALSE(calls[1].keepAwake);
    EXPECT_EQ(calls[0].eventsBefore, 0u) << "the run did something before keeping awake";
    EXPECT_EQ(calls[0].thread, runThread);
    EXPECT_EQ(calls[1].thread, runThread);
    ASSERT_EQ(dialog.DeviceWorkEnds().size(), 1u) << "the end of the device's work, once";
    EXPECT_EQ(dialog.DeviceWorkEnds()[0], calls[1].eventsBefore) << "sleep allowed at that end";
}

struct UpdateHarness {
    EventLog log;
    sim::SimulatedSpooler spooler;
    RecordingDialog dialog{log};
    FakePauses clock{log};
    FakeKeepAwake keepAwake{log};
    // The program's embedded image; the image taken at Start views it, or is a file's.
    FakeEmbeddedImage embedded;
    FirmwareImage image;
    FailingAllocator allocator{kNeverFails};
    std::atomic<bool> busy{true};
    UpdateServices services{&spooler, &clock, &keepAwake, &allocator};
    UpdateContext context{services, dialog, L"Dovrex", image, busy};
    // Printer handles open while each message box was up.
    std::vector<int> handlesAtMessage;
    // The device as the run left it when it reported the end of its work.
    DeviceWorkEnd atDeviceWorkEnd;

    UpdateHarness() {
        Embed(SmallFirmwareImage());
        dialog.busyFlag = &busy;
        dialog.onDeviceWorkEnded = [this] {
            std::size_t queued = 0;
            // One that is printing is left to finish.
            for (const auto& job : spooler.Jobs()) {
                queued += !job.foreign && job.fate == sim::JobFate::Queued && !job.printing;
            }
            atDeviceWorkEnd = {spooler.OpenHandleCount(), spooler.Jobs().size(),
                               spooler.OpenedNames().size(), queued};
        };
        dialog.onMessage = [this] { handlesAtMessage.push_back(spooler.OpenHandleCount()); };
    }

    // A program that carries `bytes` as its image, which is what it sends.
    void Embed(std::vector<unsigned char> bytes) {
        embedded.image = std::move(bytes);
        image = FirmwareImage{};
        EXPECT_TRUE(embedded.Find(&image));
    }

    // A program without an embedded image, sending `bytes` as the file read at Start.
    void ChooseFile(const std::vector<unsigned char>& bytes) {
        embedded.image.reset();
        image = FirmwareImage{};
        image.owned.reset(new unsigned char[bytes.size()]);
        std::copy(bytes.begin(), bytes.end(), image.owned.get());
        image.data = image.owned.get();
        image.size = bytes.size();
    }

    // The thread procedure, as the worker runs it, timed.
    unsigned Run() {
        const auto start = std::chrono::steady_clock::now();
        const unsigned result = UpdateThreadProc(context);
        const auto real = std::chrono::steady_clock::now() - start;
        Tally().simulatedMs += clock.TotalMs();
        Tally().realUs += std::chrono::duration_cast<std::chrono::microseconds>(real).count();
        ++Tally().runs;
        EXPECT_LT(real, kRealTimeBudget);
        EXPECT_FALSE(busy) << "the busy flag must be cleared after the run";
        ExpectAwakeWhileTheDeviceWorks(std::this_thread::get_id());
        return result;
    }

    void ExpectAwakeWhileTheDeviceWorks(std::thread::id runThread) const {
        fakes::ExpectAwakeWhileTheDeviceWorks(keepAwake, dialog, runThread);
        EXPECT_EQ(atDeviceWorkEnd.openHandles, 0) << "a printer open when the work ended";
        EXPECT_EQ(atDeviceWorkEnd.jobs, spooler.Jobs().size()) << "a job after the work ended";
        EXPECT_EQ(atDeviceWorkEnd.queued, 0u) << "a job of the run left in the queue";
        EXPECT_EQ(atDeviceWorkEnd.opens, spooler.OpenedNames().size());
        EXPECT_EQ(dialog.CallsWhileIdle(), 0) << "the dialog reached after the busy flag cleared";
    }

    std::vector<std::wstring> MessageTexts() const {
        std::vector<std::wstring> texts;
        for (const auto& m : dialog.Messages()) texts.push_back(m.text);
        return texts;
    }
};

}  // namespace reflasher::fakes
