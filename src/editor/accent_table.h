// What a character becomes after an accent prefix: the accent, the character typed and the
// caption character it gives. A pair not listed types the character unchanged.
#pragma once

#include <array>
#include <cstdint>

namespace vantrel::accent_table {

struct Composition {
    uint8_t accent;
    uint8_t character;
    uint8_t result;
};

// clang-format off
inline constexpr std::array<Composition, 72> kCompositions = {{
    {'&', 's', 0xDF},
    {'\'', '"', 0x94}, {'\'', '\'', 0x92},
    {'\'', 'A', 0xC1}, {'\'', 'E', 0xC9}, {'\'', 'I', 0xCD}, {'\'', 'O', 0xD3}, {'\'', 'U', 0xDA},
    {'\'', 'a', 0xE1}, {'\'', 'e', 0xE9}, {'\'', 'i', 0xED}, {'\'', 'o', 0xF3}, {'\'', 'u', 0xFA},
    {',', 'C', 0xC7}, {',', 'c', 0xE7},
    {'-', '-', 0x97}, {'-', 'L', 0xA3}, {'-', 'l', 0xA3}, {'-', 'Y', 0xA5}, {'-', 'y', 0xA5},
    {'-', '|', 0xA6},
    {'/', '2', 0xBD}, {'/', 'C', 0xA2}, {'/', 'c', 0xA2}, {'/', 'O', 0xD8}, {'/', 'o', 0xF8},
    {':', '-', 0xF7},
    {':', 'A', 0xC4}, {':', 'E', 0xCB}, {':', 'I', 0xCF}, {':', 'O', 0xD6}, {':', 'U', 0xDC},
    {':', 'a', 0xE4}, {':', 'e', 0xEB}, {':', 'i', 0xEF}, {':', 'o', 0xF6}, {':', 'u', 0xFC},
    {'@', ' ', 0xB0}, {'@', 'A', 0xC5}, {'@', 'a', 0xE5}, {'@', 'x', 0xA4},
    {'^', 'A', 0xC2}, {'^', 'E', 0xCA}, {'^', 'I', 0xCE}, {'^', 'O', 0xD4}, {'^', 'U', 0xDB},
    {'^', 'a', 0xE2}, {'^', 'e', 0xEA}, {'^', 'i', 0xEE}, {'^', 'o', 0xF4}, {'^', 'u', 0xFB},
    {'`', '"', 0x93}, {'`', '\'', 0x91}, {'`', '`', 0x91}, {'`', '<', 0xAB}, {'`', '>', 0xBB},
    {'`', 'A', 0xC0}, {'`', 'E', 0xC8}, {'`', 'I', 0xCC}, {'`', 'O', 0xD2}, {'`', 'U', 0xD9},
    {'`', 'a', 0xE0}, {'`', 'e', 0xE8}, {'`', 'i', 0xEC}, {'`', 'o', 0xF2}, {'`', 'u', 0xF9},
    {'~', 'A', 0xC3}, {'~', 'N', 0xD1}, {'~', 'O', 0xD5}, {'~', 'a', 0xE3}, {'~', 'n', 0xF1},
    {'~', 'o', 0xF5},
}};
// clang-format on

// The characters a keyboard may type, as ranges of caption characters.
struct Range {
    uint8_t first;
    uint8_t last;
};

// clang-format off
inline constexpr std::array<Range, 17> kTypable = {{
    {0x20, 0x7F}, {0x91, 0x97}, {0x99, 0x99}, {0xA0, 0xA6}, {0xA9, 0xA9}, {0xAB, 0xAB},
    {0xAE, 0xAE}, {0xB0, 0xB0}, {0xBB, 0xBB}, {0xBD, 0xBD}, {0xBF, 0xC5}, {0xC7, 0xCF},
    {0xD1, 0xD6}, {0xD8, 0xDC}, {0xDF, 0xE5}, {0xE7, 0xEF}, {0xF1, 0xFC},
}};
// clang-format on

}  // namespace vantrel::accent_table
