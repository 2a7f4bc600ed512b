// cc_data entries, as caption distribution packets (.mcc) and ATSC A/53 video user data carry
// them: three bytes each, a marker byte with a valid flag and a type (0: 608 field 1, 1: 608
// field 2, 2 and 3: 708), then two bytes of data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vantrel {

constexpr size_t kCcEntryBytes = 3;
constexpr uint8_t kCcValid = 0x04;
constexpr uint8_t kField1Entry = 0xFC;  // valid, 608 field 1
constexpr uint8_t kField2Entry = 0xFD;  // valid, 608 field 2
constexpr uint8_t kUnusedEntry = 0xFA;  // not valid, 708: the padding after the 608 pairs
constexpr uint8_t kCcCountMask = 0x1F;

// Calls pair(field, first, second) for each valid 608 entry of the first `count` entries that
// `entries` holds whole, field 1 or 2, in order; 708 entries and entries not valid are passed
// over.
template <typename Pair>
void ForEach608Pair(std::span<const uint8_t> entries, size_t count, Pair pair) {
    count = count < entries.size() / kCcEntryBytes ? count : entries.size() / kCcEntryBytes;
    for (size_t k = 0; k < count; ++k) {
        const uint8_t* e = entries.data() + k * kCcEntryBytes;
        if ((e[0] & kCcValid) == 0 || (e[0] & 0x03) > 1) continue;
        pair((e[0] & 0x03) + 1, e[1], e[2]);
    }
}

// Calls entry(type, first, second) for each valid 708 entry (type 2 or 3) of the first `count`
// entries, in order.
template <typename Entry>
void ForEach708Entry(std::span<const uint8_t> entries, size_t count, Entry entry) {
    count = count < entries.size() / kCcEntryBytes ? count : entries.size() / kCcEntryBytes;
    for (size_t k = 0; k < count; ++k) {
        const uint8_t* e = entries.data() + k * kCcEntryBytes;
        if ((e[0] & kCcValid) == 0 || (e[0] & 0x03) < 2) continue;
        entry(static_cast<uint8_t>(e[0] & 0x03), e[1], e[2]);
    }
}

// The cc_data entries of ATSC A/53 caption data, from the user identifier "GA94" on:
// user_data_type_code 3, then cc_data (the process_cc_data flag and cc_count, em_data, the
// entries). False when the bytes are no A/53 caption data.
inline bool Ga94Entries(std::span<const uint8_t> data, std::span<const uint8_t>& entries,
                        size_t& count) {
    constexpr uint8_t kProcessCcData = 0x40;
    if (data.size() < 7 || data[0] != 'G' || data[1] != 'A' || data[2] != '9' || data[3] != '4' ||
        data[4] != 0x03 || (data[5] & kProcessCcData) == 0) {
        return false;
    }
    entries = data.subspan(7);
    count = data[5] & kCcCountMask;
    return true;
}

// Calls pair as ForEach608Pair does for the entries of A/53 caption data; false when the bytes
// are no A/53 caption data.
template <typename Pair>
bool ForEachGa94Pair(std::span<const uint8_t> data, Pair pair) {
    std::span<const uint8_t> entries;
    size_t count = 0;
    if (!Ga94Entries(data, entries, count)) return false;
    ForEach608Pair(entries, count, pair);
    return true;
}

}  // namespace vantrel
