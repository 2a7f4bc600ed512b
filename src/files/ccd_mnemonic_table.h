// The brace-token names of the closed-caption disassembly (.ccd) notation and their 608 codes
// (caption channel 1, first byte in the high half, no parity).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantrel {

struct CcdMnemonic {
    const char* name;  // Windows-1252 text
    uint16_t code;
};

constexpr size_t kCcdMnemonicCount = 611;
constexpr uint16_t kUnknownMnemonic = 0x8080;  // the null pair

// Sorted by byte-wise comparison of the names (unsigned bytes), for the binary search.
extern const std::array<CcdMnemonic, kCcdMnemonicCount> CcdMnemonicTable;

// The code of a token name, compared exactly (case included), or kUnknownMnemonic.
uint16_t LookupMnemonic(std::string_view name);

}  // namespace vantrel
