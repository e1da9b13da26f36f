// The fixed pauses and poll limits of an update run.
#pragma once

#include <cstdint>

namespace reflasher {

constexpr int kPollLimit = 50;                        // queries per polling phase
constexpr int kFlashQueryLimit = 1200;                // flash queries in all, however it moves (30 min)
constexpr std::uint32_t kNegotiationPauseMs = 800;    // after every query for service mode
constexpr std::uint32_t kFirmwareSettleMs = 2000;     // after the firmware job, before polling
constexpr std::uint32_t kFlashPauseMs = 1500;         // after every query while flashing

}  // namespace reflasher
