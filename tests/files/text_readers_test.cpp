// The .scc and .ccd readers: timecode lines to a pair stream in which pair k is frame k.
#include <gtest/gtest.h>

#include "files/ccd.h"
#include "files/files_test_support.h"
#include "files/scc.h"
#include "files/timecode.h"

namespace vantrel {
namespace {

using testing::Bytes;
using testing::Concat;
using testing::NullPairs;

CaptionFileData Scc(std::string_view text) {
    return ReadSccText(Bytes(text));
}
CaptionFileData Ccd(std::string_view text) {
    return ReadCcdText(Bytes(text));
}

const std::string kCcdHead = "SCC_disassembly V1.2\r\nCHANNEL 1\r\n\r\n";

TEST(SccReader, PlacesALineAtItsFrame) {
    const CaptionFileData d = Scc("Scenarist_SCC V1.0\n\n00:00:01:00\t9420 9420 94ae 94ae\n");
    ASSERT_TRUE(d.recognized);
    EXPECT_EQ(d.pairs,
              Concat(NullPairs(30), Bytes({0x94, 0xA0, 0x94, 0xA0, 0x94, 0xAE, 0x94, 0xAE})));
}

TEST(SccReader, SetsBitSevenWhateverTheParity) {
    const CaptionFileData d = Scc("Scenarist_SCC V1.0\r\n\r\n00:00:00:00\t1420 4849 0000\r\n");
    EXPECT_EQ(d.pairs, Bytes({0x94, 0xA0, 0xC8, 0xC9, 0x80, 0x80}));
}

TEST(SccReader, DropFrameLinesUseTheirOwnArithmetic) {
    const CaptionFileData d = Scc("Scenarist_SCC V1.0\n00:00:08;09\t942f\n");
    ASSERT_EQ(d.pairs.size(), 2u * 250);
    EXPECT_EQ(d.pairs[2 * 249], 0x94);
    EXPECT_EQ(d.pairs[2 * 249 + 1], 0xAF);
}

TEST(SccReader, DropsALineThatWouldOverlapTheOneBefore) {
    const CaptionFileData d =
        Scc("Scenarist_SCC V1.0\n00:00:00:00\t9420 9420 9420\n00:00:00:02\t942f 942f\n"
            "00:00:00:03\t942c\n");
    EXPECT_EQ(d.pairs, Bytes({0x94, 0xA0, 0x94, 0xA0, 0x94, 0xA0, 0x94, 0xAC}));
}

TEST(SccReader, ReadsGroupsOfTwoCharactersAsFarAsTheirDigitsGo) {
    // Words need not have four digits; a group that doesn't begin with a digit is skipped;
    // a digit at the end of the line is a byte by itself.
    const CaptionFileData d = Scc("Scenarist_SCC V1.0\n00:00:00:00\t94 2 c1x942x zz 5");
    EXPECT_EQ(d.pairs, Bytes({0x94, 0x82, 0xC1, 0xC2, 0x85, 0x80}));
}

TEST(SccReader, CompletesAnOddLineSoLaterPairsKeepTheirFrames) {
    const CaptionFileData d = Scc("Scenarist_SCC V1.0\n00:00:00:00\t94 20 c1\n00:00:00:03\t942f\n");
    EXPECT_EQ(d.pairs, Bytes({0x94, 0xA0, 0xC1, 0x80, 0x80, 0x80, 0x94, 0xAF}));
}

TEST(SccReader, SkipsLinesThatAreNoTimecodeLines) {
    const CaptionFileData d =
        Scc("Scenarist_SCC V1.0\r\n\r\nshort\r\n00:00:00.00\t9420\r\n00:00:00:01\t9420\r\n");
    EXPECT_EQ(d.pairs, Bytes({0x80, 0x80, 0x94, 0xA0}));
}

TEST(SccReader, NeedsItsHeader) {
    EXPECT_FALSE(Scc("").recognized);
    EXPECT_FALSE(Scc("Scenarist_SCC").recognized);
    EXPECT_FALSE(Scc("\nScenarist_SCC V1.0\n00:00:00:00\t942f\n").recognized);
    EXPECT_FALSE(Scc("scenarist_scc V1.0\n00:00:00:00\t942f\n").recognized);
    const CaptionFileData empty = Scc("Scenarist_SCC V1.0\r\n\r\n");
    EXPECT_TRUE(empty.recognized);
    EXPECT_TRUE(empty.pairs.empty());
    EXPECT_TRUE(Scc("\xEF\xBB\xBFScenarist_SCC V1.0\n00:00:00:00\t942f").recognized);
}

TEST(SccReader, LeavesOutLinesPastTheLastReadableFrame) {
    const CaptionFileData d =
        Scc("Scenarist_SCC V1.0\n00:00:00:00\t942f\n99:99:99:99\t942c\n"
            "99999:00:00:00\t942c\n-9:59:59:29\t942c\n");
    EXPECT_EQ(d.linesBeyondLimit, 2u);
    EXPECT_EQ(d.pairs, Bytes({0x94, 0xAF}));  // the negative frame overlaps and is dropped
    // The last readable frame itself is still read.
    const CaptionFileData last = Scc("Scenarist_SCC V1.0\n99:59:59:29\t942f\n");
    EXPECT_EQ(last.linesBeyondLimit, 0u);
    EXPECT_EQ(last.pairs.size(), 2u * 10799999 + 2);
}

TEST(CcdReader, TokensAndCharactersMakePairs) {
    // Ab{RCL}: A and b at frame 60, RCL at 61; A{RCL}: A and a null byte at 60, RCL at 61.
    const CaptionFileData ab = Ccd(kCcdHead + "00:00:02:00\tAb{RCL}\r\n");
    EXPECT_EQ(ab.pairs, Concat(NullPairs(60), Bytes({0xC1, 0xE2, 0x94, 0xA0})));
    const CaptionFileData a = Ccd(kCcdHead + "00:00:02:00\tA{RCL}\r\n");
    EXPECT_EQ(a.pairs, Concat(NullPairs(60), Bytes({0xC1, 0x80, 0x94, 0xA0})));
}

TEST(CcdReader, EachTokenIsOnePair) {
    EXPECT_EQ(Ccd(kCcdHead + "00:00:00:00\t{01WhIU}").pairs, Bytes({0x91, 0xCF}));
    EXPECT_EQ(Ccd(kCcdHead + "00:00:00:00\t{0100}").pairs, Bytes({0x91, 0xD0}));
    EXPECT_EQ(Ccd(kCcdHead + "00:00:00:00\t{\xD4}").pairs, Bytes({0x92, 0xBA}));
    EXPECT_EQ(Ccd(kCcdHead + "00:00:00:00\t{EOC}{EOC}").pairs, Bytes({0x94, 0xAF, 0x94, 0xAF}));
}

TEST(CcdReader, UnknownTokensAreNullPairs) {
    EXPECT_EQ(Ccd(kCcdHead + "00:00:00:00\t{XYZ}{}{rcl}").pairs, NullPairs(3));
}

TEST(CcdReader, TheTransparentSpaceTokenReadsBack) {
    EXPECT_EQ(Ccd(kCcdHead + "00:00:00:00\t{\xA0}").pairs, Bytes({0x91, 0xB9}));
}

TEST(CcdReader, TokenNamesEndAfterSixCharacters) {
    // "01WhIUX": the name is 01WhIU, then X and the closing brace are read as characters.
    EXPECT_EQ(Ccd(kCcdHead + "00:00:00:00\t{01WhIUX}").pairs, Bytes({0x91, 0xCF, 0xD8, 0x80}));
    // An unclosed token ends at the end of the line.
    EXPECT_EQ(Ccd(kCcdHead + "00:00:00:00\t{EOC\r\n").pairs, Bytes({0x94, 0xAF}));
}

TEST(CcdReader, CharactersUseTheTextMap) {
    EXPECT_EQ(Ccd(kCcdHead + "00:00:00:00\t\xE1|_ \r\n").pairs, Bytes({0xAA, 0xFF, 0x80, 0xA0}));
}

TEST(CcdReader, NeedsItsTwoHeaderLines) {
    EXPECT_FALSE(Ccd("SCC_disassembly V1.2").recognized);
    EXPECT_FALSE(Ccd("SCC_disassembly V1.2\n").recognized);
    EXPECT_FALSE(Ccd("Scenarist_SCC V1.0\nCHANNEL 1\n00:00:00:00\t{EOC}\n").recognized);
    const CaptionFileData bare = Ccd("SCC_disassembly V1.2\nCHANNEL 1\n");
    EXPECT_TRUE(bare.recognized);
    EXPECT_TRUE(bare.pairs.empty());
}

TEST(CcdReader, ChannelLineDoesNotMatterAndNothingIsStripped) {
    // The data starts at character 12 exactly: a blank there is a character.
    const CaptionFileData d = Ccd("SCC_disassembly V1.2\nCHANNEL 3\n00:00:00:01\t A\n");
    EXPECT_EQ(d.pairs, Bytes({0x80, 0x80, 0xA0, 0xC1}));
}

}  // namespace
}  // namespace vantrel
