// The 608 single-byte decoding and the fallbacks of the extended characters.
#include "codec/table_lists.h"
#include "codec/tables.h"

namespace vantrel {

namespace {

using namespace table_lists;

constexpr std::array<uint8_t, 128> BuildSingleByteMap() {
    std::array<uint8_t, 128> map{};
    for (int b = 0; b < 0x20; ++b) {
        // 0x08-0x0F and 0x18-0x1F open pairs of the second caption channel: not ours.
        map[b] = (b & 0x08) ? 0x00 : kControlPairFirst;
    }
    for (int b = 0x20; b < 0x80; ++b) map[b] = BasicCharOf(static_cast<uint8_t>(b));
    return map;
}

constexpr std::array<uint8_t, 256> BuildFallbackCharTable() {
    std::array<uint8_t, 256> table{};
    for (const ExtendedChar& e : kExtendedChars) table[e.character] = e.fallback;
    return table;
}

}  // namespace

constexpr std::array<uint8_t, 128> SingleByteMap = BuildSingleByteMap();
constexpr std::array<uint8_t, 256> FallbackCharTable = BuildFallbackCharTable();

}  // namespace vantrel
