#include "codec/tables.h"

#include <gtest/gtest.h>

#include <bitset>
#include <set>
#include <string>
#include <vector>

namespace vantrel {
namespace {

constexpr uint8_t kUnderline = 0x0E;
constexpr uint8_t kSemiTransparent = 0xF0;
constexpr uint8_t kWhiteItalics = 0x0F;
constexpr uint8_t kBackground = 0xD0;
constexpr uint8_t kWhite = 0x18;

bool IsRowByte(int b) {
    return b >= 0x81 && b <= 0x8F;
}
bool IsIndent(int b) {
    return b >= 0x10 && b <= 0x17;
}

// Bytes that stand for a caption character rather than a command.
bool IsCharacterByte(int b) {
    return (b >= 0x20 && b <= 0x7F) || (b >= 0x90 && b <= 0x9B) || (b >= 0xA0 && b <= 0xCF) ||
           (b >= 0xD1 && b <= 0xEF) || (b >= 0xF1 && b <= 0xFD);
}

bool IsControlPair(uint16_t code) {
    return code >= 0x100 && (code & kModifierFlag) == 0;
}

std::vector<uint8_t> Bytes(const CodeFragment& f) {
    return std::vector<uint8_t>(f.bytes, f.bytes + f.length);
}

// The fragment the decoder gives for a control pair (first byte in the high half).
std::vector<uint8_t> Decode(uint16_t pair) {
    return Bytes(ControlPairMap[(pair >> 8) & 7][pair & 0x7F]);
}

// What the encoder adds to the pair before it for a modifier byte.
uint16_t ModifierAmount(uint8_t b) {
    EXPECT_TRUE(CodePairTable[b] & kModifierFlag) << std::hex << int(b);
    return CodePairTable[b] & 0x7F;
}

// The pair an encoder sends for a fragment: the first byte's code, then the preamble or
// background attribute folded into it, then the modifiers added to it.
uint16_t Encode(const std::vector<uint8_t>& fragment) {
    uint16_t pair = CodePairTable[fragment[0]];
    size_t i = 1;
    if (IsRowByte(fragment[0]) && i < fragment.size()) {
        const uint8_t attribute = fragment[i++];
        pair += IsIndent(attribute) ? ModifierAmount(attribute) : 2 * (attribute & 7);
    } else if (fragment[0] == kBackground && i < fragment.size()) {
        pair += 2 * (fragment[i++] & 7);
    }
    for (; i < fragment.size(); ++i) pair += ModifierAmount(fragment[i]);
    return pair;
}

std::string Name(int b) {
    return MnemonicTable[b];
}

TEST(SingleByteMapTest, MarksChannelOneControlBytesAndIgnoresSecondChannel) {
    for (int b = 0; b < 0x20; ++b) {
        const bool channelOneFirstByte = b <= 0x07 || (b >= 0x10 && b <= 0x17);
        EXPECT_EQ(SingleByteMap[b], channelOneFirstByte ? kControlPairFirst : 0) << std::hex << b;
    }
}

TEST(BasicCharacterTest, EverySingleByteRoundTripsThroughCodePairTable) {
    std::set<uint8_t> characters;
    for (int b = 0x20; b < 0x80; ++b) {
        const uint8_t c = SingleByteMap[b];
        characters.insert(c);
        EXPECT_EQ(CodePairTable[c], b) << std::hex << b;
        EXPECT_EQ(CodeClassTable[c], kBasicChar) << std::hex << b;
        EXPECT_EQ(FallbackCharTable[c], 0) << std::hex << b;
    }
    EXPECT_EQ(characters.size(), 96u);
    // No other byte claims a single-byte code.
    for (int c = 0; c < 256; ++c) {
        if (CodePairTable[c] != 0 && CodePairTable[c] < 0x100) {
            EXPECT_EQ(SingleByteMap[CodePairTable[c]], c) << std::hex << c;
        }
    }
}

TEST(BasicCharacterTest, CedillaTakesTheBracePosition) {
    EXPECT_EQ(SingleByteMap[0x7B], 0xE7);
    EXPECT_EQ(CodePairTable[0xE7], 0x7B);
}

TEST(BasicCharacterTest, AsciiSignsDisplacedByAccentsAreExtendedAndGraveHasNoCode) {
    for (uint8_t c : std::string("*\\^_{|}~")) {
        EXPECT_EQ(CodeClassTable[c], kExtendedChar) << c;
        EXPECT_NE(FallbackCharTable[c], 0) << c;
    }
    EXPECT_EQ(CodePairTable['`'], 0);
    EXPECT_EQ(CodeClassTable['`'], kBasicChar);
}

TEST(CharacterCodeTest, ExactlyTheUncarriedCharactersHaveNoCode) {
    const std::set<int> uncarried = {0x60, 0x97, 0x98, 0x9B, 0xA7, 0xA8, 0xAA, 0xAC,
                                     0xAD, 0xAF, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA,
                                     0xBC, 0xBE, 0xC6, 0xD7, 0xDD, 0xDE, 0xE6, 0xFD};
    for (int c = 0; c < 256; ++c) {
        if (!IsCharacterByte(c)) continue;
        const bool hasCode = CodePairTable[c] != 0;
        EXPECT_EQ(hasCode, uncarried.count(c) == 0) << std::hex << c;
        if (!hasCode) {
            EXPECT_EQ(CodeClassTable[c], kBasicChar) << std::hex << c;
            EXPECT_EQ(FallbackCharTable[c], 0) << std::hex << c;
            EXPECT_EQ(Name(c), "") << std::hex << c;
        }
    }
}

TEST(SpecialCharacterTest, EveryPairRoundTripsThroughCodePairTable) {
    std::set<uint8_t> seen;
    for (int second = 0x30; second <= 0x3F; ++second) {
        const uint16_t pair = 0x1100 | second;
        const std::vector<uint8_t> fragment = Decode(pair);
        ASSERT_EQ(fragment.size(), 1u) << std::hex << second;
        const uint8_t c = fragment[0];
        seen.insert(c);
        EXPECT_TRUE(IsCharacterByte(c)) << std::hex << int(c);
        EXPECT_EQ(CodePairTable[c], pair) << std::hex << int(c);
        EXPECT_EQ(CodeClassTable[c], kControlCode) << std::hex << int(c);
        EXPECT_EQ(FallbackCharTable[c], 0) << std::hex << int(c);
        EXPECT_NE(Name(c), "") << std::hex << int(c);
    }
    EXPECT_EQ(seen.size(), 16u);
    EXPECT_EQ(Decode(0x1137), std::vector<uint8_t>{0x90});  // music note
    EXPECT_EQ(Decode(0x1139), std::vector<uint8_t>{0xA0});  // transparent space
}

TEST(ExtendedCharacterTest, EveryPairRoundTripsAndHasABasicFallback) {
    std::set<uint8_t> seen;
    for (uint16_t first : {0x12, 0x13}) {
        for (int second = 0x20; second <= 0x3F; ++second) {
            const uint16_t pair = first << 8 | second;
            const std::vector<uint8_t> fragment = Decode(pair);
            ASSERT_EQ(fragment.size(), 1u) << std::hex << pair;
            const uint8_t c = fragment[0];
            seen.insert(c);
            EXPECT_TRUE(IsCharacterByte(c)) << std::hex << int(c);
            EXPECT_EQ(CodePairTable[c], pair) << std::hex << int(c);
            EXPECT_EQ(CodeClassTable[c], kExtendedChar) << std::hex << int(c);
            const uint8_t fallback = FallbackCharTable[c];
            EXPECT_EQ(CodeClassTable[fallback], kBasicChar) << std::hex << int(c);
            EXPECT_GE(CodePairTable[fallback], 0x20) << std::hex << int(c);
            EXPECT_LT(CodePairTable[fallback], 0x80) << std::hex << int(c);
        }
    }
    EXPECT_EQ(seen.size(), 64u);
}

TEST(ExtendedCharacterTest, EncodingExamples) {
    EXPECT_EQ(FallbackCharTable[0xD4], 'O');  // Ô
    EXPECT_EQ(CodePairTable[0xD4], 0x123A);
    EXPECT_EQ(FallbackCharTable[0xD8], 'O');  // Ø
    EXPECT_EQ(CodePairTable[0xD8], 0x133A);
    EXPECT_EQ(FallbackCharTable[0xF9], 'u');  // ù
    EXPECT_EQ(CodePairTable[0xF9], 0x123C);
}

TEST(CodeClassTest, ExtendedClassGoesWithAFallback) {
    for (int c = 0; c < 256; ++c) {
        EXPECT_EQ(CodeClassTable[c] == kExtendedChar, FallbackCharTable[c] != 0) << std::hex << c;
    }
}

TEST(CodeClassTest, ClassMatchesTheKindOfCode) {
    for (int c = 0; c < 256; ++c) {
        const uint16_t code = CodePairTable[c];
        switch (CodeClassTable[c]) {
            case kBasicChar:
                EXPECT_LT(code, 0x100) << std::hex << c;
                break;
            case kControlCode:
                // Indents are modifiers of the preamble; 0x0F and 0x80 send nothing of their own.
                EXPECT_TRUE(IsControlPair(code) || (IsIndent(c) && (code & kModifierFlag)) ||
                            (code == 0 && (c == kWhiteItalics || c == 0x80)))
                    << std::hex << c;
                break;
            case kRowOrBackground:
                EXPECT_TRUE(IsRowByte(c) || c == kBackground) << std::hex << c;
                break;
            case kModifier:
                EXPECT_EQ(code, kModifierFlag | 1) << std::hex << c;
                break;
            case kExtendedChar:
                EXPECT_TRUE(code >> 8 == 0x12 || code >> 8 == 0x13) << std::hex << c;
                break;
            default:
                ADD_FAILURE() << "class " << int(CodeClassTable[c]) << " of " << std::hex << c;
        }
    }
    EXPECT_EQ(CodeClassTable[kUnderline], kModifier);
    EXPECT_EQ(CodeClassTable[kSemiTransparent], kModifier);
}

TEST(CodePairTableTest, EveryControlPairDecodesToItsByte) {
    int pairs = 0;
    for (int c = 0; c < 256; ++c) {
        const uint16_t code = CodePairTable[c];
        if (!IsControlPair(code)) continue;
        ++pairs;
        const std::vector<uint8_t> fragment = Decode(code);
        if (CodeClassTable[c] == kRowOrBackground) {
            // Attribute bits 0 read back as white.
            EXPECT_EQ(fragment, (std::vector<uint8_t>{static_cast<uint8_t>(c), kWhite}))
                << std::hex << c;
        } else {
            EXPECT_EQ(fragment, std::vector<uint8_t>{static_cast<uint8_t>(c)}) << std::hex << c;
        }
    }
    // 19 commands, 8 colours, 15 rows, background, 16 special and 64 extended characters.
    EXPECT_EQ(pairs, 19 + 8 + 15 + 1 + 16 + 64);
}

TEST(CodePairTableTest, AttributesFoldedIntoTheirPairDecodeBack) {
    for (int row = 0x81; row <= 0x8F; ++row) {
        std::vector<uint8_t> attributes = {kWhiteItalics, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16,
                                           0x17,          0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E};
        for (uint8_t attribute : attributes) {
            const std::vector<uint8_t> plain = {static_cast<uint8_t>(row), attribute};
            EXPECT_EQ(Decode(Encode(plain)), plain) << std::hex << row << " " << int(attribute);
            const std::vector<uint8_t> underlined = {static_cast<uint8_t>(row), attribute,
                                                     kUnderline};
            EXPECT_EQ(Decode(Encode(underlined)), underlined)
                << std::hex << row << " " << int(attribute);
        }
    }
    for (uint8_t midRow : {0x0C, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F}) {
        const std::vector<uint8_t> underlined = {midRow, kUnderline};
        EXPECT_EQ(Decode(Encode(underlined)), underlined) << std::hex << int(midRow);
    }
    for (uint8_t colour = 0x18; colour <= 0x1F; ++colour) {
        const std::vector<uint8_t> background = {kBackground, colour};
        EXPECT_EQ(Decode(Encode(background)), background) << std::hex << int(colour);
        const std::vector<uint8_t> semi = {kBackground, colour, kSemiTransparent};
        EXPECT_EQ(Decode(Encode(semi)), semi) << std::hex << int(colour);
    }
}

TEST(ControlPairMapTest, EveryFragmentIsWhatTheEncoderSendsForIt) {
    for (int first = 0; first < 8; ++first) {
        for (int second = 0; second < 128; ++second) {
            const CodeFragment& f = ControlPairMap[first][second];
            ASSERT_LE(f.length, 3) << first << " " << second;
            if (f.length == 0) continue;
            EXPECT_EQ(Encode(Bytes(f)), (0x10 | first) << 8 | second)
                << std::hex << first << " " << second;
        }
    }
}

TEST(ControlPairMapTest, PreamblesExistForTheFifteenRowsOnly) {
    int preambles = 0;
    for (int first = 0; first < 8; ++first) {
        for (int second = 0x40; second < 0x80; ++second) {
            const CodeFragment& f = ControlPairMap[first][second];
            if (f.length == 0) continue;
            ++preambles;
            EXPECT_TRUE(IsRowByte(f.bytes[0])) << std::hex << first << " " << second;
        }
    }
    EXPECT_EQ(preambles, 15 * 32);
    EXPECT_EQ(ControlPairMap[0][0x60].length, 0);  // row 11 has only the 0x40 half
}

TEST(ControlPairMapTest, PairsWithoutMeaningAreEmpty) {
    for (int first = 0; first < 8; ++first) {
        for (int second = 0; second < 0x20; ++second) {
            EXPECT_EQ(ControlPairMap[first][second].length, 0) << first << " " << second;
        }
    }
    EXPECT_EQ(ControlPairMap[4][0x22].length, 0);
    EXPECT_EQ(ControlPairMap[4][0x23].length, 0);
}

TEST(MnemonicTableTest, CharactersAreNamedByThemselves) {
    for (int c = 0; c < 256; ++c) {
        if (CodeClassTable[c] != kBasicChar || CodePairTable[c] == 0) continue;
        EXPECT_EQ(Name(c), c == 0x7F ? "|" : std::string(1, static_cast<char>(c))) << std::hex << c;
    }
    EXPECT_EQ(Name(0x00), "");
    EXPECT_EQ(Name(0x80), "");
    EXPECT_EQ(Name(0xA0), " ");
}

TEST(MnemonicTableTest, ExtendedNamesStartWithTheFallback) {
    for (int c = 0; c < 256; ++c) {
        if (CodeClassTable[c] != kExtendedChar) continue;
        const std::string name = Name(c);
        ASSERT_GE(name.size(), 2u) << std::hex << c;
        if (c == 0x7C) {
            EXPECT_EQ(name, "/bar");
        } else {
            EXPECT_EQ(name[0], static_cast<char>(FallbackCharTable[c])) << std::hex << c;
        }
    }
    EXPECT_EQ(Name(0xC1), "A\xC1");
    EXPECT_EQ(Name(0x91), "'lsq");
}

TEST(MnemonicTableTest, EveryCodeHasANameAndBraceTokensAreDistinct) {
    std::set<std::string> tokens;
    for (int c = 1; c < 256; ++c) {
        if (CodePairTable[c] == 0 && c != kWhiteItalics) continue;
        const std::string name = Name(c);
        EXPECT_FALSE(name.empty()) << std::hex << c;
        // Indents and rows are numbers read only in their place after a row byte.
        if (IsIndent(c) || IsRowByte(c) || CodeClassTable[c] == kBasicChar) continue;
        const std::string token = CodeClassTable[c] == kExtendedChar ? name.substr(1) : name;
        EXPECT_TRUE(tokens.insert(token).second) << "duplicate " << token;
    }
    for (int row = 0x81; row <= 0x8F; ++row) {
        EXPECT_EQ(std::stoi(Name(row)), row - 0x80);
    }
    for (int indent = 0x10; indent <= 0x17; ++indent) {
        EXPECT_EQ(std::stoi(Name(indent)), 4 * (indent - 0x10));
    }
}

TEST(CodePairTableTest, LoadingOfHiAtRowFifteen) {
    // RCL, ENM, row 15 indent 0, H I, EOC.
    EXPECT_EQ(CodePairTable[0x02], 0x1420);
    EXPECT_EQ(CodePairTable[0xFE], 0x142E);
    EXPECT_EQ(Encode({0x8F, 0x10}), 0x1470);
    EXPECT_EQ(CodePairTable['H'], 0x48);
    EXPECT_EQ(CodePairTable['I'], 0x49);
    EXPECT_EQ(CodePairTable[0x06], 0x142F);
}

TEST(OddParityTableTest, EveryValueGetsOddParity) {
    for (int v = 0; v < 128; ++v) {
        const uint8_t withParity = OddParityTable[v];
        EXPECT_EQ(withParity & 0x7F, v);
        EXPECT_EQ(std::bitset<8>(withParity).count() % 2, 1u) << v;
    }
}

}  // namespace
}  // namespace vantrel
