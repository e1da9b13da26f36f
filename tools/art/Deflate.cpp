#include "tools/art/Deflate.h"

#include <algorithm>
#include <array>

namespace reflasher::art {
namespace {

constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 258;
constexpr int kWindow = 32768;
constexpr int kMaxChain = 256;  // bounds the search; plenty for pictures
constexpr int kHashBits = 15;

constexpr std::array<int, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                             15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                             67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<int, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<int, 30> kDistanceExtra = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

class BitWriter {
public:
    explicit BitWriter(Bytes& out) : out_(out) {}

    // Extra bits and header fields go least significant bit first.
    void Bits(std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) Bit((value >> i) & 1);
    }
    // Huffman codes go most significant bit first.
    void Code(std::uint32_t code, int length) {
        for (int i = length - 1; i >= 0; --i) Bit((code >> i) & 1);
    }
    void Flush() {
        if (used_ > 0) out_.push_back(current_);
        current_ = 0;
        used_ = 0;
    }

private:
    void Bit(std::uint32_t bit) {
        current_ |= static_cast<std::uint8_t>(bit << used_);
        if (++used_ == 8) Flush();
    }
    Bytes& out_;
    std::uint8_t current_ = 0;
    int used_ = 0;
};

// The fixed literal/length code of RFC 1951 section 3.2.6.
void WriteLiteralOrLength(BitWriter& bits, int symbol) {
    if (symbol < 144) {
        bits.Code(0x30 + symbol, 8);
    } else if (symbol < 256) {
        bits.Code(0x190 + symbol - 144, 9);
    } else if (symbol < 280) {
        bits.Code(symbol - 256, 7);
    } else {
        bits.Code(0xC0 + symbol - 280, 8);
    }
}

void WriteMatch(BitWriter& bits, int length, int distance) {
    int code = 0;
    while (code + 1 < int(kLengthBase.size()) && kLengthBase[code + 1] <= length) ++code;
    WriteLiteralOrLength(bits, 257 + code);
    bits.Bits(length - kLengthBase[code], kLengthExtra[code]);
    int dcode = 0;
    while (dcode + 1 < int(kDistanceBase.size()) && kDistanceBase[dcode + 1] <= distance) ++dcode;
    bits.Code(dcode, 5);
    bits.Bits(distance - kDistanceBase[dcode], kDistanceExtra[dcode]);
}

std::uint32_t Hash(const Bytes& data, std::size_t at) {
    const std::uint32_t v = data[at] | (data[at + 1] << 8) | (data[at + 2] << 16);
    return (v * 2654435761u) >> (32 - kHashBits);
}

}  // namespace

std::uint32_t Adler32(const Bytes& data) {
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

Bytes ZlibCompress(const Bytes& data) {
    Bytes out;
    PutU8(out, 0x78);  // deflate, 32 KiB window
    PutU8(out, 0x01);  // no dictionary; makes the header a multiple of 31
    BitWriter bits(out);
    bits.Bits(1, 1);  // final block
    bits.Bits(1, 2);  // fixed Huffman codes

    std::vector<int> head(std::size_t(1) << kHashBits, -1);
    std::vector<int> previous(data.size(), -1);
    auto insert = [&](std::size_t at) {
        if (at + kMinMatch > data.size()) return;
        const std::uint32_t h = Hash(data, at);
        previous[at] = head[h];
        head[h] = static_cast<int>(at);
    };

    std::size_t at = 0;
    while (at < data.size()) {
        int bestLength = 0, bestDistance = 0;
        if (at + kMinMatch <= data.size()) {
            const std::size_t limit = std::min<std::size_t>(kMaxMatch, data.size() - at);
            int candidate = head[Hash(data, at)];
            for (int chain = 0; candidate >= 0 && chain < kMaxChain; ++chain) {
                const int distance = static_cast<int>(at) - candidate;
                if (distance > kWindow) break;
                std::size_t n = 0;
                while (n < limit && data[candidate + n] == data[at + n]) ++n;
                if (int(n) > bestLength) {
                    bestLength = static_cast<int>(n);
                    bestDistance = distance;
                    if (n == limit) break;
                }
                candidate = previous[candidate];
            }
        }
        if (bestLength >= kMinMatch) {
            WriteMatch(bits, bestLength, bestDistance);
            for (int i = 0; i < bestLength; ++i) insert(at + i);
            at += bestLength;
        } else {
            WriteLiteralOrLength(bits, data[at]);
            insert(at);
            ++at;
        }
    }
    WriteLiteralOrLength(bits, 256);  // end of block
    bits.Flush();
    PutBe32(out, Adler32(data));
    return out;
}

}  // namespace reflasher::art
