#include "device/DeviceStatus.h"

#include <cstring>

#include "device/AsciiCase.h"

namespace reflasher {
namespace {

const char kStatusValueName[] = "QMSTSSTR";
const char kMaker[] = "MFG:QUILLMAR";
const char kModel[] = "MDL:DOVREX";
const char kStatusField[] = ";F:";
// Counting the field's semicolon as 0: status digits at 3-4, progress at 5-6, ';' at 7.
constexpr std::size_t kStatusDigits = 3;
constexpr std::size_t kProgressDigits = 5;
constexpr std::size_t kFieldEnd = 7;

// atoi's rule: leading white space, optional sign, digits up to the first non-digit.
// The caller guarantees a terminator (the field's closing ';') within reach.
std::int32_t ReadDecimal(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = (*text++ == '-');
    std::int32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
    }
    return negative ? -value : value;
}

}  // namespace

DeviceStatus DecodeDeviceStatus(StatusBuffer& buffer, std::uint32_t reportedCount) {
    const DeviceStatus noAnswer{};
    if (reportedCount == 0 || reportedCount > kStatusBufferSize) return noAnswer;

    // The text ends at its first zero byte; without one inside the buffer there is no text.
    const auto* end = static_cast<unsigned char*>(std::memchr(buffer.data(), 0, buffer.size()));
    if (end == nullptr) return noAnswer;
    const std::size_t length = static_cast<std::size_t>(end - buffer.data());

    for (std::size_t i = 0; i < length; ++i) {
        buffer[i] = AsciiUpper(buffer[i]);
    }
    const char* text = reinterpret_cast<const char*>(buffer.data());
    if (std::strstr(text, kMaker) == nullptr || std::strstr(text, kModel) == nullptr) return noAnswer;

    const char* field = std::strstr(text, kStatusField);
    if (field == nullptr) return noAnswer;
    // Walk to position 7 without passing the zero byte.
    for (std::size_t i = 1; i <= kFieldEnd; ++i) {
        if (field[i] == '\0') return noAnswer;
    }
    if (field[kFieldEnd] != ';') return noAnswer;

    DeviceStatus result;
    result.progress = ReadDecimal(field + kProgressDigits);
    result.status = ReadDecimal(field + kStatusDigits) / 100;
    return result;
}

DeviceStatus QueryDeviceStatus(Spooler& spooler, PrinterHandle printer) {
    StatusBuffer buffer{};
    const std::wstring valueName(kStatusValueName, kStatusValueName + sizeof kStatusValueName - 1);
    const std::uint32_t reported =
        spooler.ReadDriverData(printer, valueName, buffer.data(), kStatusBufferSize);
    return DecodeDeviceStatus(buffer, reported);
}

}  // namespace reflasher
