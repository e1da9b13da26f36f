// Reading and decoding the embosser's status string ("QMSTSSTR" printer data).
#pragma once

#include <array>
#include <cstdint>

#include "device/Spooler.h"

namespace reflasher {

constexpr std::uint32_t kStatusBufferSize = 260;
using StatusBuffer = std::array<unsigned char, kStatusBufferSize>;

// The status codes the device reports in its status string.
namespace status_code {
constexpr std::int32_t kIdle = 0;   // also: done, after flashing
constexpr std::int32_t kReady = 1;  // in service mode, waiting for the image
constexpr std::int32_t kInvalidFile = 2;
constexpr std::int32_t kFlashError = 3;
constexpr std::int32_t kUnknownError = 4;
constexpr std::int32_t kWriteError = 5;
constexpr std::int32_t kWorking = 6;  // erasing or writing the flash
}  // namespace status_code

struct DeviceStatus {
    std::int32_t status = -1;  // -1: no valid status was read
    std::int32_t progress = 0;
};

// Decodes the bytes the spooler delivered and the byte count it reported.
// Upper-cases the text in place, as the device's rules are letter-case blind.
DeviceStatus DecodeDeviceStatus(StatusBuffer& buffer, std::uint32_t reportedCount);

// Queries "QMSTSSTR" through an open printer and decodes it.
DeviceStatus QueryDeviceStatus(Spooler& spooler, PrinterHandle printer);

}  // namespace reflasher
