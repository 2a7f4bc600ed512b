// The caption-file readers (.scc, .ccd, raw pairs): file bytes to a pair stream in which pair k
// is frame k; and the .ccd notation's tables that the reader and the writer share.
#include <gtest/gtest.h>

#include "files/ccd.h"
#include "files/ccd_tables.h"
#include "files/files_test_support.h"
#include "files/raw_pairs.h"
#include "files/scc.h"
#include "files/timecode.h"

namespace vantrel {
namespace {

using testing::AfterNullPairs;
using testing::Bytes;

TEST(CaptionFileReaders, BytesToPairs) {
    const std::string scc = "Scenarist_SCC V1.0\n";
    const std::string ccdHead = "SCC_disassembly V1.2\r\nCHANNEL 1\r\n\r\n";
    const std::string ccd = ccdHead + "00:00:00:00\t";
    const struct {
        const char* what;
        const char* format;
        std::string text;
        bool recognized;
        std::vector<uint8_t> pairs;
    } cases[] = {
        {"bit 7 whatever the parity", "scc", scc + "\r\n00:00:00:00\t1420 4849 0000\r\n", true,
         Bytes("\x94\xA0\xC8\xC9\x80\x80")},
        {"drop-frame arithmetic", "scc", scc + "00:00:08;09\t942f\n", true,
         AfterNullPairs(249, "\x94\xAF")},
        {"a line overlapping the one before is dropped", "scc",
         scc + "00:00:00:00\t9420 9420 9420\n00:00:00:02\t942f 942f\n00:00:00:03\t942c\n", true,
         Bytes("\x94\xA0\x94\xA0\x94\xA0\x94\xAC")},
        // Groups are two characters read as far as their digits go; one without a leading
        // digit is skipped; a digit at the end of the line is a byte by itself.
        {"short groups", "scc", scc + "00:00:00:00\t94 2 c1x942x zz 5", true,
         Bytes("\x94\x82\xC1\xC2\x85\x80")},
        {"an odd line is completed", "scc", scc + "00:00:00:00\t94 20 c1\n00:00:00:03\t942f\n",
         true, Bytes("\x94\xA0\xC1\x80\x80\x80\x94\xAF")},
        {"lines that are no timecode lines", "scc",
         scc + "short\r\n00:00:00.00\t9420\r\n00:00:00:01\t9420\r\n", true,
         Bytes("\x80\x80\x94\xA0")},
        {"byte-order mark", "scc", "\xEF\xBB\xBF" + scc + "00:00:00:00\t942f", true,
         Bytes("\x94\xAF")},
        {"header only", "scc", scc + "\r\n", true, {}},
        {"no header", "scc", "", false, {}},
        {"header cut", "scc", "Scenarist_SCC", false, {}},
        {"header on line 2", "scc", "\n" + scc + "00:00:00:00\t942f\n", false, {}},
        {"header in lower case", "scc", "scenarist_scc V1.0\n00:00:00:00\t942f\n", false, {}},
        // Ab{RCL}: A and b at frame 60, RCL at 61; A{RCL}: A and a null byte, then RCL.
        {"characters and a token", "ccd", ccdHead + "00:00:02:00\tAb{RCL}\r\n", true,
         AfterNullPairs(60, "\xC1\xE2\x94\xA0")},
        {"a token on a pair boundary", "ccd", ccdHead + "00:00:02:00\tA{RCL}\r\n", true,
         AfterNullPairs(60, "\xC1\x80\x94\xA0")},
        {"tokens", "ccd", ccd + "{01WhIU}{0100}{\xD4}{EOC}{EOC}", true,
         Bytes("\x91\xCF\x91\xD0\x92\xBA\x94\xAF\x94\xAF")},
        {"unknown tokens are null pairs", "ccd", ccd + "{XYZ}{}{rcl}", true, AfterNullPairs(3)},
        {"the transparent space", "ccd", ccd + "{\xA0}", true, Bytes("\x91\xB9")},
        // The name is 01WhIU; X and the closing brace are characters.
        {"names end after six characters", "ccd", ccd + "{01WhIUX}", true,
         Bytes("\x91\xCF\xD8\x80")},
        {"an unclosed token ends with the line", "ccd", ccd + "{EOC\r\n", true, Bytes("\x94\xAF")},
        {"characters through the text map", "ccd", ccd + "\xE1|_ \r\n", true,
         Bytes("\xAA\xFF\x80\xA0")},
        // The data starts at character 12 exactly: a blank there is a character.
        {"any channel line, nothing stripped", "ccd",
         "SCC_disassembly V1.2\nCHANNEL 3\n00:00:00:01\t A\n", true, Bytes("\x80\x80\xA0\xC1")},
        {"header only", "ccd", "SCC_disassembly V1.2\nCHANNEL 1\n", true, {}},
        {"no channel line", "ccd", "SCC_disassembly V1.2\n", false, {}},
        {"another header", "ccd", "Scenarist_SCC V1.0\nCHANNEL 1\n00:00:00:00\t{EOC}\n", false, {}},
        {"raw: header skipped, bit 7 set", "bin",
         std::string("\x12\x34\x56\x78\x14\x2F\x00\x41", 8), true, Bytes("\x94\xAF\x80\xC1")},
        {"raw: header only", "bin", "\xFF\xFF\xFF\xFF", true, {}},
        {"raw: shorter than the header", "bin", "\xFF\xFF\xFF", false, {}},
    };
    for (const auto& c : cases) {
        const std::string_view f = c.format;
        const std::vector<uint8_t> bytes = Bytes(c.text);
        const CaptionFileData d = f == "scc"   ? ReadSccText(bytes)
                                  : f == "ccd" ? ReadCcdText(bytes)
                                               : ReadRawPairs(bytes);
        EXPECT_EQ(d.recognized, c.recognized) << c.format << ": " << c.what;
        EXPECT_EQ(d.pairs, c.pairs) << c.format << ": " << c.what;
    }
}

TEST(CaptionFileReaders, ReadNoFurtherThanTheLastReadableFrame) {
    const CaptionFileData d =
        ReadSccText(Bytes("Scenarist_SCC V1.0\n00:00:00:00\t942f\n99:99:99:99\t942c\n"
                          "99999:00:00:00\t942c\n-9:59:59:29\t942c\n"));
    EXPECT_EQ(d.linesBeyondLimit, 2u);
    EXPECT_EQ(d.pairs, Bytes("\x94\xAF"));  // the negative frame overlaps and is dropped
    const CaptionFileData last = ReadSccText(Bytes("Scenarist_SCC V1.0\n99:59:59:29\t942f\n"));
    EXPECT_EQ(last.linesBeyondLimit, 0u);
    EXPECT_EQ(last.pairs, AfterNullPairs(kMaxReadFrame, "\x94\xAF"));
    const CaptionFileData raw =
        ReadRawPairs(std::vector<uint8_t>(kRawHeaderSize + MaxRawPairBytes() + 6, 0x80));
    EXPECT_TRUE(raw.truncated);
    EXPECT_EQ(raw.pairs.size(), MaxRawPairBytes());
}

// The token lookup is built from the names the writer uses: each must read back as its code,
// whatever byte it starts with.
TEST(CcdTables, EveryWrittenNameReadsBackAsItsCode) {
    int named = 0;
    for (int g = 0; g < 8; ++g) {
        for (int s = 0; s < 128; ++s) {
            const char* name = CcdControlNames[g][s].text;
            if (!*name) continue;
            ++named;
            const auto code = static_cast<uint16_t>((0x10 | g) << 8 | s);
            // The transparent space is no table entry; the reader knows it by itself.
            EXPECT_EQ(LookupMnemonic(name), code == kTransparentSpaceCode ? kUnknownMnemonic : code)
                << name;
        }
    }
    EXPECT_EQ(named, 612);
    for (const char* unknown : {"rcl", "RCL ", "", "1600"}) {
        EXPECT_EQ(LookupMnemonic(unknown), kUnknownMnemonic) << unknown;
    }
}

TEST(CcdTables, TextCharactersAndNamesAreInverse) {
    for (int code = 0x20; code < 0x80; ++code) {
        EXPECT_EQ(CcdTextCharMap[CcdCharNames[code]], code) << code;
    }
    // The ASCII signs that 608 shows as other characters have no code of their own.
    for (int sign : {0x2A, 0x5C, 0x5E, 0x5F, 0x60, 0x7B, 0x7D, 0x7E, 0x7F, 0x80, 0xFF, 0x09}) {
        EXPECT_EQ(CcdTextCharMap[sign], 0) << sign;
    }
}

}  // namespace
}  // namespace vantrel
