// The tables of the closed-caption disassembly (.ccd) notation: characters, control-pair
// names and the brace-token names with their 608 codes. Text in .ccd lines is Windows-1252.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantrel {

// By a text byte of a .ccd line: the 608 basic character code it stands for, 0 for none.
extern const std::array<uint8_t, 256> CcdTextCharMap;

// By a 608 basic code (bit 7 removed): the Windows-1252 byte written for it; '_' for the codes
// 0x00-0x1F, which have no character. The inverse of CcdTextCharMap on 0x20-0x7F.
extern const std::array<uint8_t, 128> CcdCharNames;

// A brace-token name, zero-terminated; the longest is six bytes.
struct CcdName {
    char text[8] = {};
};

// By (first byte AND 7, second byte AND 0x7F) of a control pair: the name written between the
// braces, empty where the pair has none; the single byte 0xA0 at 0x11 0x39 is the transparent
// space, which LookupMnemonic does not know.
extern const std::array<std::array<CcdName, 128>, 8> CcdControlNames;

constexpr uint16_t kTransparentSpaceCode = 0x1139;
constexpr char kTransparentSpaceToken = '\xA0';

constexpr uint16_t kUnknownMnemonic = 0x8080;  // the null pair

// The code of a token name of CcdControlNames, compared exactly (case included), or
// kUnknownMnemonic.
uint16_t LookupMnemonic(std::string_view name);

}  // namespace vantrel
