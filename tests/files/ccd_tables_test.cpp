// The .ccd notation's tables: the sorted token table, its agreement with the names the export
// writes, and the character maps in both directions.
#include "files/ccd_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace vantrel {
namespace {

bool ByteLess(const char* a, const char* b) {
    return std::string_view(a) < std::string_view(b);  // unsigned byte order
}

TEST(CcdMnemonicTable, HoldsEveryTokenOnceInByteOrder) {
    ASSERT_EQ(CcdMnemonicTable.size(), 611u);
    for (size_t k = 1; k < CcdMnemonicTable.size(); ++k) {
        EXPECT_TRUE(ByteLess(CcdMnemonicTable[k - 1].name, CcdMnemonicTable[k].name))
            << "entry " << k << " \"" << CcdMnemonicTable[k].name << "\" is out of order";
    }
    // High bytes sort after ASCII: the accented letters come last.
    EXPECT_STREQ(CcdMnemonicTable.back().name, "\xFC");
}

TEST(CcdMnemonicTable, AgreesWithTheExportNames) {
    for (const CcdMnemonic& entry : CcdMnemonicTable) {
        const int first = entry.code >> 8;
        ASSERT_GE(first, 0x10) << entry.name;
        ASSERT_LE(first, 0x17) << entry.name;
        EXPECT_STREQ(CcdControlNames[first & 7][entry.code & 0x7F].text, entry.name)
            << "code " << std::hex << entry.code;
    }
    // Every named place is a table entry, except the transparent space.
    int named = 0;
    for (int g = 0; g < 8; ++g) {
        for (int s = 0; s < 128; ++s) {
            const char* name = CcdControlNames[g][s].text;
            if (!*name) continue;
            ++named;
            const uint16_t code = static_cast<uint16_t>((0x10 | g) << 8 | s);
            if (code == kTransparentSpaceCode) {
                EXPECT_STREQ(name, "\xA0");
                EXPECT_EQ(LookupMnemonic(name), kUnknownMnemonic);
            } else {
                EXPECT_EQ(LookupMnemonic(name), code) << name;
            }
        }
    }
    EXPECT_EQ(named, 612);
}

TEST(LookupMnemonic, FindsNamesExactly) {
    EXPECT_EQ(LookupMnemonic("0100"), 0x1150);
    EXPECT_EQ(LookupMnemonic("01WhIU"), 0x114F);
    EXPECT_EQ(LookupMnemonic("1528U"), 0x147F);
    EXPECT_EQ(LookupMnemonic("1100"), 0x1050);
    EXPECT_EQ(LookupMnemonic("\xD4"), 0x123A);  // Ô
    EXPECT_EQ(LookupMnemonic("RCL"), 0x1420);
    EXPECT_EQ(LookupMnemonic("EOC"), 0x142F);
    EXPECT_EQ(LookupMnemonic("BBkS"), 0x102F);
    EXPECT_EQ(LookupMnemonic("IU"), 0x112F);
    EXPECT_EQ(LookupMnemonic("BkU"), 0x172F);
    EXPECT_EQ(LookupMnemonic("\\"), 0x132B);
    EXPECT_EQ(LookupMnemonic("C"), 0x122B);
    EXPECT_EQ(LookupMnemonic("Cy"), 0x1126);
    EXPECT_EQ(LookupMnemonic("rcl"), kUnknownMnemonic);  // case counts
    EXPECT_EQ(LookupMnemonic("RCL "), kUnknownMnemonic);
    EXPECT_EQ(LookupMnemonic(""), kUnknownMnemonic);
    EXPECT_EQ(LookupMnemonic("1600"), kUnknownMnemonic);
    for (const CcdMnemonic& entry : CcdMnemonicTable) {
        EXPECT_EQ(LookupMnemonic(entry.name), entry.code) << entry.name;
    }
}

TEST(CcdCharacters, TextMapAndNamesAreInverse) {
    for (int code = 0x20; code < 0x80; ++code) {
        EXPECT_EQ(CcdTextCharMap[CcdCharNames[code]], code) << code;
    }
    for (int code = 0; code < 0x20; ++code) EXPECT_EQ(CcdCharNames[code], '_');
    EXPECT_EQ(CcdTextCharMap['_'], 0);
}

TEST(CcdCharacters, SignsThat608ReplacesHaveNoCode) {
    EXPECT_EQ(CcdTextCharMap['|'], 0x7F);
    EXPECT_EQ(CcdTextCharMap[0xD1], 0x7D);
    EXPECT_EQ(CcdTextCharMap[0xE1], 0x2A);
    EXPECT_EQ(CcdTextCharMap[0xFA], 0x60);
    EXPECT_EQ(CcdTextCharMap['A'], 'A');
    EXPECT_EQ(CcdTextCharMap[' '], ' ');
    for (int sign : {0x2A, 0x5C, 0x5E, 0x5F, 0x60, 0x7B, 0x7D, 0x7E, 0x7F, 0x80, 0xFF, 0x09}) {
        EXPECT_EQ(CcdTextCharMap[sign], 0) << sign;
    }
    EXPECT_EQ(CcdCharNames[0x2A], 0xE1);
    EXPECT_EQ(CcdCharNames[0x7F], '|');
}

}  // namespace
}  // namespace vantrel
