// Reading and decoding the embosser's status string ("QMSTSSTR" printer data).
#pragma once

#include <array>
#include <cstdint>

#include "device/Spooler.h"

namespace reflasher {

constexpr std::uint32_t kStatusBufferSize = 260;
using StatusBuffer = std::array<unsigned char, kStatusBufferSize>;

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
