// The embosser bridge's command line: what a scenario or the demo asks for must
// reach the model, and a mistyped option must stop the bridge with a reason
// rather than run a device other than the one asked for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/win32/BridgeOptions.h"

namespace reflasher::bridge {
namespace {

using Arguments = std::vector<std::wstring>;

Arguments Required() { return {L"--printer", L"Dovrex Embosser", L"--jobs", L"/tmp/jobs"}; }

Arguments With(Arguments more) {
    Arguments all = Required();
    all.insert(all.end(), more.begin(), more.end());
    return all;
}

TEST(BridgeOptions, DefaultsGiveANormalDeviceOfAboutTwentySeconds) {
    const ParsedOptions parsed = ParseBridgeOptions(Required());
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_EQ(parsed.options->printer, L"Dovrex Embosser");
    EXPECT_EQ(parsed.options->jobFolder, L"/tmp/jobs");
    EXPECT_EQ(parsed.options->behaviour, "normal");
    EXPECT_EQ(parsed.options->script.fault, sim::EmbosserFault::None);
    EXPECT_EQ(parsed.options->logFile, L"");
    EXPECT_EQ(parsed.options->firmwareFile, L"");
    EXPECT_TRUE(parsed.options->otherQueues.empty());
    // Ready, erase and write at the default tick: 1.2 s + 3.2 s + 10 s of device time.
    const sim::EmbosserScript& script = parsed.options->script;
    const unsigned deviceMs =
        parsed.options->tickMs *
        static_cast<unsigned>(script.pollsBeforeReady + script.erasePolls + script.writePolls);
    EXPECT_GE(deviceMs, 10000u);
    EXPECT_LE(deviceMs, 20000u);
}

TEST(BridgeOptions, EveryBehaviourNameSelectsItsFault) {
    const struct {
        const wchar_t* name;
        sim::EmbosserFault fault;
    } cases[] = {
        {L"normal", sim::EmbosserFault::None},
        {L"never-ready", sim::EmbosserFault::NeverReady},
        {L"lost-after-ready", sim::EmbosserFault::LostAfterReady},
        {L"flash-error", sim::EmbosserFault::FlashError},
        {L"unknown-error", sim::EmbosserFault::UnknownError},
        {L"write-error", sim::EmbosserFault::WriteError},
        {L"silent", sim::EmbosserFault::SilentMidFlash},
        {L"wrong-maker", sim::EmbosserFault::WrongMaker},
        {L"wrong-model", sim::EmbosserFault::WrongModel},
    };
    for (const auto& c : cases) {
        const ParsedOptions parsed = ParseBridgeOptions(With({L"--behaviour", c.name}));
        ASSERT_TRUE(parsed.options) << parsed.error;
        EXPECT_EQ(parsed.options->script.fault, c.fault)
            << std::string(c.name, c.name + wcslen(c.name));
    }
}

TEST(BridgeOptions, TimingAndFilesReachTheScript) {
    const ParsedOptions parsed =
        ParseBridgeOptions(With({L"--tick-ms", L"250", L"--ready-ticks", L"0", L"--erase-ticks",
                                 L"4", L"--write-ticks", L"40", L"--fault-after", L"7", L"--log",
                                 L"/tmp/b.log", L"--firmware-out", L"Z:\\tmp\\fw.hex",
                                 L"--also-printer", L"Dovrex Embosser (Copy 1)",
                                 L"--also-printer", L"Dovrex by hand"}));
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_EQ(parsed.options->tickMs, 250u);
    EXPECT_EQ(parsed.options->script.pollsBeforeReady, 0);
    EXPECT_EQ(parsed.options->script.erasePolls, 4);
    EXPECT_EQ(parsed.options->script.writePolls, 40);
    EXPECT_EQ(parsed.options->script.faultAfterWritePolls, 7);
    EXPECT_EQ(parsed.options->logFile, L"/tmp/b.log");
    EXPECT_EQ(parsed.options->firmwareFile, L"Z:\\tmp\\fw.hex");
    EXPECT_EQ(parsed.options->otherQueues,
              (std::vector<std::wstring>{L"Dovrex Embosser (Copy 1)", L"Dovrex by hand"}));
}

TEST(BridgeOptions, RefusesWhatItCannotRun) {
    const struct {
        Arguments arguments;
        const char* reason;  // part of the error
    } cases[] = {
        {{}, "--printer is required"},
        {{L"--printer", L"P"}, "--jobs is required"},
        {{L"--jobs", L"/j"}, "--printer is required"},
        {With({L"--behaviour", L"sleepy"}), "unknown behaviour 'sleepy'"},
        {With({L"--behaviour", L"Normal"}), "unknown behaviour"},
        {With({L"--colour", L"red"}), "unknown option '--colour'"},
        {With({L"--tick-ms"}), "--tick-ms needs a value"},
        {With({L"--tick-ms", L"0"}), "--tick-ms wants"},
        {With({L"--tick-ms", L"9"}), "--tick-ms wants"},
        {With({L"--tick-ms", L"10001"}), "--tick-ms wants"},
        {With({L"--tick-ms", L"4x"}), "--tick-ms wants"},
        {With({L"--write-ticks", L"-1"}), "--write-ticks wants"},
        {With({L"--erase-ticks", L""}), "--erase-ticks wants"},
        {With({L"--ready-ticks", L"100001"}), "--ready-ticks wants"},
        {With({L"--fault-after", L"99999999999"}), "--fault-after wants"},
    };
    for (const auto& c : cases) {
        const ParsedOptions parsed = ParseBridgeOptions(c.arguments);
        EXPECT_FALSE(parsed.options) << c.reason;
        EXPECT_NE(parsed.error.find(c.reason), std::string::npos)
            << "error \"" << parsed.error << "\", wanted " << c.reason;
    }
}

TEST(BridgeOptions, TheUsageNamesEveryBehaviour) {
    const std::string usage = Usage();
    for (const char* name :
         {"normal", "never-ready", "lost-after-ready", "flash-error", "unknown-error",
          "write-error", "silent", "wrong-maker", "wrong-model"}) {
        EXPECT_NE(usage.find(name), std::string::npos) << name;
    }
}

}  // namespace
}  // namespace reflasher::bridge
