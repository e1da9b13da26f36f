// Letter-case folding for what the portable core compares as ASCII: printer names,
// port names, the status string, the firmware header's maker.
#pragma once

namespace reflasher {

// Only a-z are folded; any other character (or byte) must match exactly.
template <typename Char>
constexpr Char AsciiUpper(Char c) {
    return (c >= Char('a') && c <= Char('z')) ? static_cast<Char>(c - Char('a') + Char('A')) : c;
}

}  // namespace reflasher
