// The simulated embosser behind the test spooler: what the update run would
// read through QueryDeviceStatus at each poll, for a good flash and each fault.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "device/DeviceStatus.h"
#include "sim/EmbosserModel.h"
#include "sim/SimulatedSpooler.h"
#include "sim/SyntheticFirmware.h"
#include "tests/shared/UpdateFakes.h"

namespace reflasher::sim {
namespace {

using Bytes = std::vector<unsigned char>;
using fakes::SmallFirmwareImage;

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

// The model's own copy: update_embosser_test checks it against the job the run sends.
Bytes ServiceJob() { return Bytes(kServiceModeJob.begin(), kServiceModeJob.end()); }

struct Seen {
    int status;
    int progress;
    bool operator==(const Seen& other) const {
        return status == other.status && progress == other.progress;
    }
};
std::ostream& operator<<(std::ostream& out, const Seen& seen) {
    return out << "(" << seen.status << "," << seen.progress << ")";
}

// The host side of one embosser: jobs and status queries as the update run makes them.
class Host {
public:
    explicit Host(EmbosserScript script = {}) : model(script) {
        spooler.AddPrinter({L"Dovrex", L"USB001", L"Quillmar Dovrex"}, &model);
        EXPECT_TRUE(spooler.Open(L"Dovrex", &printer, {L"RAW", kPrinterAllAccess}));
    }
    ~Host() { spooler.Close(printer); }

    void Send(const Bytes& job) {
        ASSERT_TRUE(spooler.BeginDocument(printer, {L"", L"", L"RAW"}));
        ASSERT_TRUE(spooler.BeginPage(printer));
        EXPECT_EQ(spooler.Write(printer, job.data(), static_cast<std::uint32_t>(job.size())),
                  job.size());
        spooler.EndPage(printer);
        spooler.EndDocument(printer);
    }
    Seen Poll() {
        const DeviceStatus status = QueryDeviceStatus(spooler, printer);
        return {status.status, status.progress};
    }
    std::vector<Seen> Poll(int times) {
        std::vector<Seen> seen;
        for (int i = 0; i < times; ++i) seen.push_back(Poll());
        return seen;
    }
    // Service job, polls until the first 1 (at most `limit`), and the re-check.
    void EnterServiceMode(int limit = 20) {
        Send(ServiceJob());
        for (int i = 0; i < limit && Poll().status != 1; ++i) {
        }
    }

    EmbosserModel model;
    SimulatedSpooler spooler;
    PrinterHandle printer = 0;
};

TEST(EmbosserModel, PublishesADeviceIdStringThatDecodes) {
    EmbosserModel model;
    const std::string idle = model.StatusString();
    for (const char* field : {"MFG:Quillmar;", "MDL:Dovrex Tactigraph;", "CMD:PJL;", "CLS:PRINTER;",
                              "DES:"}) {
        EXPECT_NE(idle.find(field), std::string::npos) << field;
    }
    EXPECT_EQ(idle.substr(idle.size() - 8), ";F:0000;");
    EXPECT_LT(idle.size(), kStatusBufferSize);

    Host host;
    EXPECT_EQ(host.Poll(), (Seen{0, 0}));
    const std::vector<std::uint32_t> sizes = host.spooler.StatusBufferSizes();
    EXPECT_EQ(sizes.back(), kStatusBufferSize);
}

TEST(EmbosserModel, GoesThroughServiceModeEraseAndWriteToIdle) {
    Host host({/*pollsBeforeReady=*/3, /*erasePolls=*/2, /*writePolls=*/4});
    EXPECT_EQ(host.Poll(2), (std::vector<Seen>{{0, 0}, {0, 0}}));
    host.Send(ServiceJob());
    EXPECT_EQ(host.model.Phase(), EmbosserPhase::EnteringService);
    // Three polls before ready, the first 1, then the re-check still 1.
    EXPECT_EQ(host.Poll(5), (std::vector<Seen>{{0, 0}, {0, 0}, {0, 0}, {1, 0}, {1, 0}}));

    const Bytes image = SmallFirmwareImage();
    host.Send(image);
    EXPECT_EQ(host.model.Phase(), EmbosserPhase::Erasing);
    EXPECT_EQ(host.Poll(8), (std::vector<Seen>{
                                {6, 0}, {6, 0}, {6, 25}, {6, 50}, {6, 75}, {6, 99}, {0, 0}, {0, 0}}));
    EXPECT_EQ(host.model.Phase(), EmbosserPhase::Idle);
    EXPECT_EQ(host.model.FirmwareReceived(), image);
    EXPECT_TRUE(host.model.LastImageCheck().Valid());

    // Flashed and idle again: a new service job starts a new session.
    host.Send(ServiceJob());
    EXPECT_EQ(host.Poll(4).back(), (Seen{1, 0}));
}

TEST(EmbosserModel, ZeroCountsSkipTheirPhase) {
    Host host({/*pollsBeforeReady=*/0, /*erasePolls=*/0, /*writePolls=*/1});
    host.Send(ServiceJob());
    EXPECT_EQ(host.Poll(), (Seen{1, 0}));
    host.Send(SmallFirmwareImage());
    EXPECT_EQ(host.Poll(2), (std::vector<Seen>{{6, 99}, {0, 0}}));

    Host noWriting({0, 1, 0});
    noWriting.EnterServiceMode();
    noWriting.Send(SmallFirmwareImage());
    EXPECT_EQ(noWriting.Poll(2), (std::vector<Seen>{{6, 0}, {0, 0}}));
}

TEST(EmbosserModel, WritingProgressRisesWithinOneTo99) {
    for (int writePolls : {1, 2, 3, 7, 98, 99, 100, 250}) {
        Host host({0, 0, writePolls});
        host.EnterServiceMode();
        host.Send(SmallFirmwareImage());
        int previous = 0;
        for (int step = 1; step <= writePolls; ++step) {
            const Seen seen = host.Poll();
            ASSERT_EQ(seen.status, 6) << writePolls << " steps, step " << step;
            EXPECT_GE(seen.progress, 1);
            EXPECT_LE(seen.progress, 99);
            // Strictly rising while there are enough values to rise through.
            if (writePolls <= 99) {
                EXPECT_GT(seen.progress, previous) << writePolls << "/" << step;
            }
            EXPECT_GE(seen.progress, previous);
            previous = seen.progress;
        }
        EXPECT_EQ(previous, 99) << writePolls;
        EXPECT_EQ(host.Poll(), (Seen{0, 0})) << writePolls;
    }
}

TEST(EmbosserModel, NegativeCountsMeanNone) {
    Host host({-3, -1, -5});
    host.Send(ServiceJob());
    EXPECT_EQ(host.Poll(), (Seen{1, 0}));
    host.Send(SmallFirmwareImage());
    EXPECT_EQ(host.Poll(), (Seen{0, 0}));
}

TEST(EmbosserModel, OnlyTheExactServiceJobEntersServiceMode) {
    const Bytes job = ServiceJob();
    Bytes textOnly(job.begin() + 8, job.end());
    Bytes oneByteOff = job;
    oneByteOff[20] = 'X';
    Bytes longer = job;
    longer.push_back(0);
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"text without the zero bytes", textOnly},
        {"one byte changed", oneByteOff},
        {"one byte more", longer},
        {"the firmware image", SmallFirmwareImage()},
        {"empty job", {}},
    };
    for (const auto& [name, bytes] : cases) {
        Host host({0, 0, 1});
        host.Send(bytes);
        EXPECT_EQ(host.Poll(3), (std::vector<Seen>{{0, 0}, {0, 0}, {0, 0}})) << name;
        EXPECT_EQ(host.model.Phase(), EmbosserPhase::Idle) << name;
    }
}

TEST(EmbosserModel, InvalidImageReportsTwoUntilSwitchedOff) {
    Bytes corrupted = SmallFirmwareImage();
    corrupted[60] = corrupted[60] == '0' ? '1' : '0';  // a data digit of the first S3 record
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"checksum", corrupted},
        {"another service job", ServiceJob()},
        {"empty job", {}},
    };
    for (const auto& [name, bytes] : cases) {
        Host host({1, 1, 2});
        host.EnterServiceMode();
        host.Send(bytes);
        EXPECT_EQ(host.Poll(4), (std::vector<Seen>{{2, 0}, {2, 0}, {2, 0}, {2, 0}})) << name;
        EXPECT_FALSE(host.model.LastImageCheck().Valid()) << name;
        EXPECT_EQ(host.model.FirmwareReceived(), bytes) << name;

        // Stuck until power-cycled: neither a good image nor a new service job is taken.
        host.Send(SmallFirmwareImage());
        host.Send(ServiceJob());
        EXPECT_EQ(host.Poll(), (Seen{2, 0})) << name;
        host.model.PowerCycle();
        EXPECT_EQ(host.Poll(), (Seen{0, 0})) << name;
        host.EnterServiceMode();
        host.Send(SmallFirmwareImage());
        EXPECT_EQ(host.Poll(), (Seen{6, 0})) << name;
    }
}

struct FaultCase {
    const char* name;
    EmbosserFault fault;
    std::vector<Seen> negotiation;  // polls after the service job
    std::vector<Seen> flashing;     // polls after the image (empty: not sent)
};

TEST(EmbosserModel, ScriptedFaultsShowWhereTheRunWouldSeeThem) {
    // Ready after 1 poll; 1 erase poll; 4 writing polls (25, 50, 75, 99); faults after 2 of them.
    const std::vector<Seen> ready = {{0, 0}, {1, 0}, {1, 0}};
    const std::vector<FaultCase> cases = {
        {"none", EmbosserFault::None, ready, {{6, 0}, {6, 25}, {6, 50}, {6, 75}, {6, 99}, {0, 0}}},
        {"never ready", EmbosserFault::NeverReady, std::vector<Seen>(50, {0, 0}), {}},
        {"lost after ready", EmbosserFault::LostAfterReady, {{0, 0}, {1, 0}, {-1, 0}, {-1, 0}}, {}},
        {"flash error", EmbosserFault::FlashError, ready,
         {{6, 0}, {6, 25}, {6, 50}, {3, 50}, {3, 50}, {3, 50}}},
        {"unknown error", EmbosserFault::UnknownError, ready, {{6, 0}, {6, 25}, {6, 50}, {4, 50}, {4, 50}}},
        {"write error", EmbosserFault::WriteError, ready, {{6, 0}, {6, 25}, {6, 50}, {5, 50}, {5, 50}}},
        {"silent mid-flash", EmbosserFault::SilentMidFlash, ready,
         {{6, 0}, {6, 25}, {6, 50}, {-1, 0}, {-1, 0}, {-1, 0}}},
        {"wrong maker", EmbosserFault::WrongMaker, {{-1, 0}, {-1, 0}, {-1, 0}},
         std::vector<Seen>(7, {-1, 0})},
        {"wrong model", EmbosserFault::WrongModel, {{-1, 0}, {-1, 0}, {-1, 0}},
         std::vector<Seen>(7, {-1, 0})},
    };
    for (const FaultCase& c : cases) {
        Host host({1, 1, 4, c.fault, 2});
        host.Send(ServiceJob());
        EXPECT_EQ(host.Poll(static_cast<int>(c.negotiation.size())), c.negotiation) << c.name;
        if (c.flashing.empty()) continue;
        host.Send(SmallFirmwareImage());
        EXPECT_EQ(host.Poll(static_cast<int>(c.flashing.size())), c.flashing) << c.name;
    }
}

TEST(EmbosserModel, FaultStatesHoldTheirExactString) {
    Host silent({0, 0, 3, EmbosserFault::SilentMidFlash, 1});
    silent.EnterServiceMode();
    silent.Send(SmallFirmwareImage());
    silent.Poll(2);
    // No value at all: the spooler reports a count of 0, not an empty text.
    unsigned char buffer[kStatusBufferSize] = {};
    EXPECT_EQ(silent.spooler.ReadDriverData(silent.printer, L"QMSTSSTR", buffer, sizeof buffer),
              0u);
    EXPECT_EQ(silent.model.StatusString(), "");
    EXPECT_EQ(silent.model.Phase(), EmbosserPhase::NotAnswering);

    Host lost({0, 0, 1, EmbosserFault::LostAfterReady});
    lost.Send(ServiceJob());
    lost.Poll(2);
    const std::string text = lost.model.StatusString();
    EXPECT_NE(text.find("MFG:Quillmar;"), std::string::npos);
    EXPECT_EQ(text.find("F:"), std::string::npos) << text;

    // A wrong maker or model still runs the state machine; only the string differs.
    Host wrong({0, 0, 1, EmbosserFault::WrongModel});
    wrong.Send(ServiceJob());
    wrong.Poll();
    EXPECT_EQ(wrong.model.Phase(), EmbosserPhase::Ready);
    EXPECT_NE(wrong.model.StatusString().find(";F:0100;"), std::string::npos);
}

TEST(EmbosserModel, FaultPointIsClampedToTheWritingSteps) {
    Host atStart({0, 0, 3, EmbosserFault::WriteError, 0});
    atStart.EnterServiceMode();
    atStart.Send(SmallFirmwareImage());
    EXPECT_EQ(atStart.Poll(2), (std::vector<Seen>{{5, 0}, {5, 0}}));

    // Beyond the last step: the fault comes instead of the final 0.
    Host atEnd({0, 0, 2, EmbosserFault::UnknownError, 9});
    atEnd.EnterServiceMode();
    atEnd.Send(SmallFirmwareImage());
    EXPECT_EQ(atEnd.Poll(3), (std::vector<Seen>{{6, 50}, {6, 99}, {4, 99}}));
}

TEST(EmbosserModel, ScriptChangesApplyToTheStepsToCome) {
    Host host({5, 0, 1});
    host.Send(ServiceJob());
    EXPECT_EQ(host.Poll(), (Seen{0, 0}));
    host.model.SetScript({0, 0, 1, EmbosserFault::LostAfterReady});
    // The countdown already under way continues; the new fault shows after ready.
    EXPECT_EQ(host.Poll(5).back(), (Seen{1, 0}));
    EXPECT_EQ(host.Poll(), (Seen{-1, 0}));
}

TEST(EmbosserModel, KeepsEveryByteItReceived) {
    std::ifstream file(REFLASHER_SYNTHETIC_FIRMWARE_PATH, std::ios::binary);
    ASSERT_TRUE(file) << REFLASHER_SYNTHETIC_FIRMWARE_PATH;
    const Bytes image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_EQ(image.size(), 1140906u);

    Host host({0, 1, 2});
    const Bytes printout = ToBytes("plain embossing job\f");
    host.Send(printout);
    host.EnterServiceMode();
    host.Send(image);  // one write of the whole image
    host.Send(printout);  // arrives while erasing: kept, not taken
    EXPECT_EQ(host.Poll(4), (std::vector<Seen>{{6, 0}, {6, 50}, {6, 99}, {0, 0}}));

    EXPECT_EQ(host.model.Jobs(), (std::vector<Bytes>{printout, ServiceJob(), image, printout}));
    EXPECT_TRUE(host.model.FirmwareReceived() == image);
    const Bytes service = ServiceJob();
    Bytes all = printout;
    for (const Bytes* job : {&service, &image, &printout}) all.insert(all.end(), job->begin(), job->end());
    EXPECT_TRUE(host.model.ReceivedBytes() == all);
    EXPECT_EQ(host.model.LastImageCheck().dataRecords, 14261u);
}

// The update run polls on its worker thread while the test thread reads the model.
TEST(EmbosserModel, ServesAPollingThreadWhileObserved) {
    Host host({20, 20, 40});
    host.Send(ServiceJob());
    std::atomic<bool> done{false};
    std::vector<Seen> seen;
    std::thread worker([&] {
        while (host.Poll().status != 1) {
        }
        host.Send(SmallFirmwareImage());
        for (Seen s = host.Poll(); !(s.status == 0 && !seen.empty()); s = host.Poll()) seen.push_back(s);
        done = true;
    });
    int unreadable = 0;
    while (!done) {
        if (host.model.StatusString().find(";F:") == std::string::npos) ++unreadable;
        host.model.Jobs();
        host.model.Phase();
    }
    worker.join();
    EXPECT_EQ(unreadable, 0);
    ASSERT_EQ(seen.size(), 60u);
    EXPECT_EQ(seen[19], (Seen{6, 0}));
    EXPECT_EQ(seen.back(), (Seen{6, 99}));
}

}  // namespace
}  // namespace reflasher::sim
