#include "tools/art/Ico.h"

namespace reflasher::art {

Bytes EncodeIco(const std::vector<IconEntry>& entries) {
    constexpr std::size_t kDirectorySize = 6;
    constexpr std::size_t kEntrySize = 16;
    Bytes out;
    PutLe16(out, 0);  // reserved
    PutLe16(out, 1);  // type: icon
    PutLe16(out, static_cast<std::uint32_t>(entries.size()));
    std::size_t offset = kDirectorySize + kEntrySize * entries.size();
    for (const IconEntry& e : entries) {
        PutU8(out, e.size & 0xFF);  // 256 is written as 0
        PutU8(out, e.size & 0xFF);
        PutU8(out,
              e.bitsPerPixel < 8 ? 1u << e.bitsPerPixel : 0);  // colour count, 0 for 256 or more
        PutU8(out, 0);
        PutLe16(out, 1);  // planes
        PutLe16(out, e.bitsPerPixel);
        PutLe32(out, static_cast<std::uint32_t>(e.body.size()));
        PutLe32(out, static_cast<std::uint32_t>(offset));
        offset += e.body.size();
    }
    for (const IconEntry& e : entries) Append(out, e.body);
    return out;
}

}  // namespace reflasher::art
