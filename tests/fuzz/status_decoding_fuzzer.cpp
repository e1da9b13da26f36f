// Any status bytes with any reported count: the decoder must never read past the
// buffer or the text's zero byte, and must agree with the C library's own
// strstr/atoi on a bounded copy of the text.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "device/DeviceStatus.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

using reflasher::DeviceStatus;
using reflasher::kStatusBufferSize;
using reflasher::StatusBuffer;

bool IsLower(unsigned char c) { return c >= 'a' && c <= 'z'; }

// What the text means, found with the C library on a terminated copy.
DeviceStatus Expected(const StatusBuffer& upper, std::uint32_t count) {
    const DeviceStatus none{};
    if (count == 0 || count > kStatusBufferSize) return none;
    const void* zero = std::memchr(upper.data(), 0, upper.size());
    if (zero == nullptr) return none;
    const char* text = reinterpret_cast<const char*>(upper.data());
    if (!std::strstr(text, "MFG:QUILLMAR") || !std::strstr(text, "MDL:DOVREX")) return none;
    const char* field = std::strstr(text, ";F:");
    if (field == nullptr || std::strlen(field) < 8 || field[7] != ';') return none;
    char digits[5] = {field[3], field[4], field[5], field[6], 0};
    DeviceStatus result;
    result.status = std::atoi(digits) / 100;
    result.progress = std::atoi(digits + 2);
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    // Trailing bytes choose the count and what fills the buffer beyond the
    // delivered bytes; the leading bytes are the delivered value itself.
    const std::uint8_t mode = input.ConsumeIntegral<std::uint8_t>();
    const std::uint32_t anyCount = input.ConsumeIntegral<std::uint32_t>();
    const std::vector<std::uint8_t> bytes = input.ConsumeRemainingBytes<std::uint8_t>();
    const std::size_t delivered = std::min<std::size_t>(bytes.size(), kStatusBufferSize);
    const std::uint32_t count = (mode & 1) ? anyCount : static_cast<std::uint32_t>(bytes.size());

    // On the heap, so that a read past its end meets ASan's red zone at once.
    auto buffer = std::make_unique<StatusBuffer>();
    buffer->fill((mode & 2) ? 0xA5 : 0);  // a value too large leaves undefined content
    std::copy_n(bytes.begin(), delivered, buffer->begin());
    const StatusBuffer original = *buffer;

    const DeviceStatus result = reflasher::DecodeDeviceStatus(*buffer, count);

    // Before the zero byte only a-z changed, and to upper case; nothing after it changed.
    const auto* zero = static_cast<const unsigned char*>(std::memchr(original.data(), 0, original.size()));
    const std::size_t textLength = zero ? static_cast<std::size_t>(zero - original.data()) : original.size();
    const bool decoded = count != 0 && count <= kStatusBufferSize && zero != nullptr;
    for (std::size_t i = 0; i < original.size(); ++i) {
        const unsigned char before = original[i];
        const unsigned char after = (*buffer)[i];
        if (decoded && i < textLength && IsLower(before)) {
            FUZZ_CHECK(after == before - 'a' + 'A');
        } else {
            FUZZ_CHECK(after == before);
        }
    }

    // Every way of not answering gives exactly (-1, 0).
    if (!decoded) FUZZ_CHECK(result.status == -1 && result.progress == 0);
    // Four characters, two of them the progress: nothing outside these ranges can come out.
    FUZZ_CHECK(result.status >= -9 && result.status <= 99);
    FUZZ_CHECK(result.progress >= -9 && result.progress <= 99);

    const DeviceStatus expected = Expected(*buffer, count);
    FUZZ_CHECK(result.status == expected.status && result.progress == expected.progress);
    // Progress is 0 unless a well-formed F field was read; -1 otherwise always comes with 0.
    if (result.status == -1 && result.progress != 0) {
        const char* field = std::strstr(reinterpret_cast<const char*>(buffer->data()), ";F:");
        FUZZ_CHECK(field != nullptr && field[7] == ';');
    }

    // Letter case is not part of the meaning: the lower-cased text decodes alike.
    if (decoded) {
        auto lower = std::make_unique<StatusBuffer>(original);
        for (std::size_t i = 0; i < textLength; ++i) {
            if ((*lower)[i] >= 'A' && (*lower)[i] <= 'Z') (*lower)[i] = static_cast<unsigned char>((*lower)[i] + 32);
        }
        const DeviceStatus again = reflasher::DecodeDeviceStatus(*lower, count);
        FUZZ_CHECK(again.status == result.status && again.progress == result.progress);
    }
    return 0;
}
