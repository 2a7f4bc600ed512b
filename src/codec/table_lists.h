// The hand-written facts of the 608 coding from which every table in tables.h is built: the
// basic-character exceptions, the special and extended characters with their fallbacks and
// names, the command codes, the row codes and the attribute names. Each fact is written here
// once; the tables_*.cpp files derive their tables from these lists at compile time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "codec/codes.h"

namespace vantrel::table_lists {

// 608 codes of the attributes (channel 1, first byte in the high half, no parity).
constexpr uint16_t kBackgroundCode = 0x1020;       // + 2c for colour c, + 1 semi-transparent
constexpr uint16_t kMidRowColourCode = 0x1120;     // + 2c for colour c, + 1 underlined
constexpr uint16_t kBlackForegroundCode = 0x172E;  // black has no mid-row colour code
constexpr uint16_t kUnderlineModifier = 0x8001;
constexpr uint16_t kIndentModifier = 0x8010;  // + 2k for indent k

// 608 single bytes 0x20-0x7F whose character differs from the byte itself. 0x7F, the solid
// block, is the caption character 0x7F.
struct BasicException {
    uint8_t byte608;
    uint8_t character;
};
inline constexpr std::array<BasicException, 9> kBasicExceptions = {{
    {0x2A, 0xE1},  // á
    {0x5C, 0xE9},  // é
    {0x5E, 0xED},  // í
    {0x5F, 0xF3},  // ó
    {0x60, 0xFA},  // ú
    {0x7B, 0xE7},  // ç
    {0x7C, 0xF7},  // ÷
    {0x7D, 0xD1},  // Ñ
    {0x7E, 0xF1},  // ñ
}};

// The special characters of pairs 0x11 0x30 to 0x11 0x3F, in pair order, with their names.
struct SpecialChar {
    uint8_t character;
    const char* name;
};
inline constexpr uint16_t kSpecialCharFirstCode = 0x1130;
inline constexpr std::array<SpecialChar, 16> kSpecialChars = {{
    {0xAE, "reg"},
    {0xB0, "o"},
    {0xBD, "1/2"},
    {0xBF, "?"},
    {0x99, "tm"},
    {0xA2, "cent"},
    {0xA3, "L"},
    {0x90, "note"},
    {0xE0, "\xE0"},
    {0xA0, " "},
    {0xE8, "\xE8"},
    {0xE2, "\xE2"},
    {0xEA, "\xEA"},
    {0xEE, "\xEE"},
    {0xF4, "\xF4"},
    {0xFB, "\xFB"},
}};

// The extended characters, in pair order: the basic character sent before each for decoders
// without the extended set, and the name written after that fallback in the notation.
struct ExtendedChar {
    uint8_t character;
    uint8_t fallback;
    const char* name;
};
inline constexpr uint16_t kExtendedCharFirstCode = 0x1220;  // 0x1220-0x123F, 0x1320-0x133F
inline constexpr std::array<ExtendedChar, 64> kExtendedChars = {{
    // 0x12 0x20-0x3F
    {0xC1, 'A', "\xC1"},
    {0xC9, 'E', "\xC9"},
    {0xD3, 'O', "\xD3"},
    {0xDA, 'U', "\xDA"},
    {0xDC, 'U', "\xDC"},
    {0xFC, 'u', "\xFC"},
    {0x91, '\'', "lsq"},
    {0xA1, '!', "!"},
    {0x2A, '#', "*"},
    {0x92, '\'', "rsq"},
    {0x97, '-', "-"},  // the em dash
    {0xA9, 'c', "C"},
    {0x9A, 's', "sm"},
    {0x95, '.', "."},
    {0x93, '"', "ldq"},
    {0x94, '"', "rdq"},
    {0xC0, 'A', "\xC0"},
    {0xC2, 'A', "\xC2"},
    {0xC7, 'C', "\xC7"},
    {0xC8, 'E', "\xC8"},
    {0xCA, 'E', "\xCA"},
    {0xCB, 'E', "\xCB"},
    {0xEB, 'e', "\xEB"},
    {0xCE, 'I', "\xCE"},
    {0xCF, 'I', "\xCF"},
    {0xEF, 'i', "\xEF"},
    {0xD4, 'O', "\xD4"},
    {0xD9, 'U', "\xD9"},
    {0xF9, 'u', "\xF9"},
    {0xDB, 'U', "\xDB"},
    {0xAB, '"', "<<"},
    {0xBB, '"', ">>"},
    // 0x13 0x20-0x3F
    {0xC3, 'A', "\xC3"},
    {0xE3, 'a', "\xE3"},
    {0xCD, 'I', "\xCD"},
    {0xCC, 'I', "\xCC"},
    {0xEC, 'i', "\xEC"},
    {0xD2, 'O', "\xD2"},
    {0xF2, 'o', "\xF2"},
    {0xD5, 'O', "\xD5"},
    {0xF5, 'o', "\xF5"},
    {0x7B, '[', "lb"},
    {0x7D, ']', "rb"},
    {0x5C, '/', "\\"},
    {0x5E, '/', "^"},
    {0x5F, '-', "_"},
    {0xA6, '-', "|"},
    {0x7E, '-', "~"},
    {0xC4, 'A', "\xC4"},
    {0xE4, 'a', "\xE4"},
    {0xD6, 'O', "\xD6"},
    {0xF6, 'o', "\xF6"},
    {0xDF, 's', "\xDF"},
    {0xA5, 'Y', "yen"},
    {0xA4, 'C', "x"},
    {0x7C, '-', "bar"},
    {0xC5, 'A', "\xC5"},
    {0xE5, 'a', "\xE5"},
    {0xD8, 'O', "\xD8"},
    {0xF8, 'o', "\xF8"},
    {0xB1, '+', "ul"},
    {0xB2, '+', "ur"},
    {0xB3, '+', "ll"},
    {0xB4, '+', "lr"},
}};

constexpr uint16_t ExtendedCharCode(int index) {
    return static_cast<uint16_t>(kExtendedCharFirstCode + (index / 32) * 0x100 + index % 32);
}

// Commands that stand for one fixed 608 pair, with their names.
struct Command {
    uint8_t byte;
    uint16_t code;
    const char* name;
};
inline constexpr std::array<Command, 19> kCommands = {{
    {kDer, 0x1424, "DER"},
    {kRcl, kPairRcl, "RCL"},
    {kRdc, 0x1429, "RDC"},
    {kRtd, 0x142B, "RTD"},
    {kTr, 0x142A, "TR"},
    {kEoc, kPairEoc, "EOC"},
    {kBs, 0x1421, "BS"},
    {kFon, 0x1428, "FON"},
    {TabOffsetByte(1), 0x1721, "TO1"},
    {TabOffsetByte(2), 0x1722, "TO2"},
    {TabOffsetByte(3), 0x1723, "TO3"},
    {kItalics, 0x112E, "I"},
    {kCr, 0x142D, "CR"},
    {kTransparent, 0x172D, "BT"},
    {kRollUp2, 0x1425, "RU2"},
    {kRollUp2 + 1, 0x1426, "RU3"},
    {kRollUp4, 0x1427, "RU4"},
    {kEnm, 0x142E, "ENM"},
    {kEdm, kPairEdm, "EDM"},
}};

// Preamble address codes of rows 1 to 15 with attribute bits 0.
inline constexpr std::array<uint16_t, 15> kRowCodes = {
    0x1140, 0x1160, 0x1240, 0x1260, 0x1540, 0x1560, 0x1640, 0x1660,
    0x1740, 0x1760, 0x1040, 0x1340, 0x1360, 0x1440, 0x1460,
};

// Names of the colours 0-7 and of the attribute bytes that are not commands.
inline constexpr std::array<const char*, 8> kColourNames = {"Wh", "Gr", "Bl", "Cy",
                                                            "R",  "Y",  "Ma", "Bk"};
struct ByteName {
    uint8_t byte;
    const char* name;
};
inline constexpr std::array<ByteName, 4> kAttributeNames = {{
    {kUnderline, "U"},
    {kWhiteItalics, "WhI"},
    {kBackground, "B"},
    {kSemiTransparent, "S"},
}};

// Names that do not follow the rules (character itself; fallback followed by the name).
inline constexpr std::array<ByteName, 2> kNameExceptions = {{
    {0x7C, "/bar"},
    {0x7F, "|"},
}};

// The caption character of a 608 single byte 0x20-0x7F.
constexpr uint8_t BasicCharOf(uint8_t byte608) {
    for (const BasicException& e : kBasicExceptions) {
        if (e.byte608 == byte608) return e.character;
    }
    return byte608;
}

}  // namespace vantrel::table_lists
