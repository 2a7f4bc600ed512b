#include "files/ccd_tables.h"

#include <algorithm>
#include <cstddef>

#include "codec/table_lists.h"

namespace vantrel {

namespace {

namespace lists = table_lists;

// Text bytes whose 608 code differs from the byte itself. The ASCII signs that 608 replaces
// with accented letters have no code of their own in .ccd text.
struct TextException {
    uint8_t text;
    uint8_t code;
};
constexpr std::array<TextException, 10> kTextExceptions = {{
    {0x7C, 0x7F},  // | the solid block
    {0xD1, 0x7D},  // Ñ
    {0xE1, 0x2A},  // á
    {0xE7, 0x7B},  // ç
    {0xE9, 0x5C},  // é
    {0xED, 0x5E},  // í
    {0xF1, 0x7E},  // ñ
    {0xF3, 0x5F},  // ó
    {0xF7, 0x7C},  // ÷
    {0xFA, 0x60},  // ú
}};

constexpr bool StandsForItself(int b) {
    return (b >= 0x20 && b <= 0x29) || (b >= 0x2B && b <= 0x5B) || b == 0x5D ||
           (b >= 0x61 && b <= 0x7A);
}

constexpr std::array<uint8_t, 256> BuildTextCharMap() {
    std::array<uint8_t, 256> map{};
    for (int b = 0; b < 256; ++b) {
        if (StandsForItself(b)) map[b] = static_cast<uint8_t>(b);
    }
    for (const TextException& e : kTextExceptions) map[e.text] = e.code;
    return map;
}

constexpr std::array<uint8_t, 128> BuildCharNames() {
    std::array<uint8_t, 128> names{};
    for (int c = 0; c < 0x20; ++c) names[c] = '_';
    for (int c = 0x20; c < 0x80; ++c) {
        if (StandsForItself(c)) names[c] = static_cast<uint8_t>(c);
    }
    for (const TextException& e : kTextExceptions) names[e.code] = e.text;
    return names;
}

// Suffixes of the 32 preamble address codes of a row, by the second byte's offset.
constexpr std::array<const char*, 32> kPreambleSuffixes = {
    "Wh", "WhU", "Gr",  "GrU", "Bl",   "BlU", "Cy",  "CyU", "R",   "RU",  "Y",
    "YU", "Ma",  "MaU", "WhI", "WhIU", "00",  "00U", "04",  "04U", "08",  "08U",
    "12", "12U", "16",  "16U", "20",   "20U", "24",  "24U", "28",  "28U",
};

using NameTable = std::array<std::array<CcdName, 128>, 8>;

constexpr void Put(NameTable& t, uint16_t code, const char* a, const char* b = "") {
    CcdName& name = t[(code >> 8) & 7][code & 0x7F];
    size_t n = 0;
    for (const char* p = a; *p; ++p) name.text[n++] = *p;
    for (const char* p = b; *p; ++p) name.text[n++] = *p;
    name.text[n] = 0;
}

constexpr NameTable BuildControlNames() {
    NameTable t{};
    for (size_t row = 0; row < lists::kRowCodes.size(); ++row) {
        const char digits[3] = {static_cast<char>('0' + (row + 1) / 10),
                                static_cast<char>('0' + (row + 1) % 10), 0};
        for (size_t k = 0; k < kPreambleSuffixes.size(); ++k) {
            Put(t, static_cast<uint16_t>(lists::kRowCodes[row] + k), digits, kPreambleSuffixes[k]);
        }
    }
    for (int c = 0; c < 8; ++c) {
        const uint16_t background = static_cast<uint16_t>(lists::kBackgroundCode + 2 * c);
        Put(t, background, "B", lists::kColourNames[c]);
        Put(t, background + 1, t[0][background & 0x7F].text, "S");  // semi-transparent
    }
    for (int c = 0; c < 7; ++c) {
        const uint16_t midRow = static_cast<uint16_t>(lists::kMidRowColourCode + 2 * c);
        Put(t, midRow, lists::kColourNames[c]);
        Put(t, midRow + 1, lists::kColourNames[c], "U");
    }
    Put(t, lists::kBlackForegroundCode, lists::kColourNames[7]);
    Put(t, lists::kBlackForegroundCode + 1, lists::kColourNames[7], "U");
    for (const lists::Command& command : lists::kCommands) Put(t, command.code, command.name);
    Put(t, lists::kMidRowColourCode + 0x0F, "IU");
    for (size_t k = 0; k < lists::kSpecialChars.size(); ++k) {
        Put(t, static_cast<uint16_t>(lists::kSpecialCharFirstCode + k),
            lists::kSpecialChars[k].name);
    }
    const char transparent[2] = {kTransparentSpaceToken, 0};
    Put(t, kTransparentSpaceCode, transparent);
    for (size_t k = 0; k < lists::kExtendedChars.size(); ++k) {
        Put(t, lists::ExtendedCharCode(static_cast<int>(k)), lists::kExtendedChars[k].name);
    }
    return t;
}

constexpr NameTable kControlNames = BuildControlNames();

// A brace-token name and its 608 code (caption channel 1, first byte in the high half, no
// parity).
struct Mnemonic {
    std::string_view name;
    uint16_t code;
};

// Every named control pair but the transparent space, which the reader takes apart.
constexpr size_t CountMnemonics() {
    size_t n = 0;
    for (const auto& group : kControlNames) {
        for (const CcdName& name : group)
            n += name.text[0] != 0 && name.text[0] != kTransparentSpaceToken;
    }
    return n;
}

// The names in byte order (std::string_view compares bytes as unsigned), for a binary search.
constexpr auto BuildMnemonics() {
    std::array<Mnemonic, CountMnemonics()> table{};
    size_t n = 0;
    for (size_t g = 0; g < kControlNames.size(); ++g) {
        for (size_t s = 0; s < kControlNames[g].size(); ++s) {
            const char* text = kControlNames[g][s].text;
            if (text[0] == 0 || text[0] == kTransparentSpaceToken) continue;
            table[n++] = {text, static_cast<uint16_t>((0x10 | g) << 8 | s)};
        }
    }
    std::sort(table.begin(), table.end(),
              [](const Mnemonic& a, const Mnemonic& b) { return a.name < b.name; });
    return table;
}

constexpr auto kMnemonics = BuildMnemonics();

constexpr bool NamesAreUnique() {
    for (size_t k = 1; k < kMnemonics.size(); ++k) {
        if (kMnemonics[k - 1].name == kMnemonics[k].name) return false;
    }
    return true;
}
static_assert(NamesAreUnique(), "two control pairs share a .ccd name");

}  // namespace

const std::array<uint8_t, 256> CcdTextCharMap = BuildTextCharMap();
const std::array<uint8_t, 128> CcdCharNames = BuildCharNames();
constinit const NameTable CcdControlNames = kControlNames;

uint16_t LookupMnemonic(std::string_view name) {
    const auto it = std::lower_bound(
        kMnemonics.begin(), kMnemonics.end(), name,
        [](const Mnemonic& entry, std::string_view key) { return entry.name < key; });
    return it != kMnemonics.end() && it->name == name ? it->code : kUnknownMnemonic;
}

}  // namespace vantrel
