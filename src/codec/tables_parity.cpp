// Odd parity for the bytes that leave the system.
#include "codec/tables.h"

namespace vantrel {

namespace {

constexpr std::array<uint8_t, 128> BuildOddParityTable() {
    std::array<uint8_t, 128> table{};
    for (int v = 0; v < 128; ++v) {
        int ones = 0;
        for (int bit = 0; bit < 7; ++bit) ones += (v >> bit) & 1;
        table[v] = static_cast<uint8_t>(ones % 2 == 0 ? v | 0x80 : v);
    }
    return table;
}

}  // namespace

constexpr std::array<uint8_t, 128> OddParityTable = BuildOddParityTable();

}  // namespace vantrel
