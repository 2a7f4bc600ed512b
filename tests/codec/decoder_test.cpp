// Decoding pair streams: the code string of a loading, and the captions of a whole stream with
// their frames and timing modes (streams as words: stream_words.h). Streams that end while a
// caption is shown, empty screens and roll-up text: decoder_mends_test.cpp.
#include "codec/decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/stream_words.h"

namespace vantrel {
namespace {

using testing::Stream;

TEST(DecodePairs, Table) {
    struct Case {
        const char* stream;
        CodeString code;
    };
    const Case cases[] = {
        // Doubled codes count once, tripled twice; a null pair between equal codes breaks them.
        {"RCL RCL ENM ENM R15 R15 'A' 1137 1137 1137 EOC EOC",
         {0xFE, 0x8F, 0x10, 'A', 0x90, 0x90, 0x06}},
        {"1137 N1 1137 EOC", {0x90, 0x90, 0x06}},
        // The last ENM starts the loading.
        {"RCL ENM R15 'XY' ENM R15 'OK' EOC 'ZZ'", {0xFE, 0x8F, 0x10, 'O', 'K', 0x06}},
        {"N3", {}},
        // Second-channel data is ignored up to the next first-channel code.
        {"RCL ENM R15 'HI' 1C20 1C2E 1C70 'NO' 1137 1C2F 'QQ' EOC",
         {0xFE, 0x8F, 0x10, 'H', 'I', 0x90, 0x06}},
        // An extended character replaces the fallback just before it, and only that.
        {"R15 'E' 1221 'xE' 1221 EOC", {0x8F, 0x10, 0xC9, 'x', 0xC9, 0x06}},
        {"R15 1221 EOC", {0x8F, 0x10, 0xC9, 0x06}},
    };
    for (const Case& c : cases) {
        LoadingStyle style = LoadingStyle::PopOn;
        EXPECT_EQ(DecodePairs(Stream(c.stream), style), c.code) << c.stream;
    }
    // A control byte with no second byte ends the decoding.
    LoadingStyle style = LoadingStyle::PopOn;
    EXPECT_EQ(DecodePairs(std::vector<uint8_t>{'A' | 0x80, 0x94}, style), (CodeString{'A'}));
}

struct Expected {
    int32_t start;
    int32_t end;
    int8_t mode;
    const char* row15;
};

std::string Row15(const Caption& c) {
    std::string out;
    for (const CaptionCell& cell : c.cells[14]) {
        if (!cell.IsEmpty()) out += static_cast<char>(cell.character);
    }
    return out;
}

TEST(DecodePairStream, Table) {
    struct Case {
        const char* stream;
        std::vector<Expected> captions;
    };
    const std::string hi = "N10 RCL ENM R15 'HI' EOC ";  // HI shown on frame 14
    const Case cases[] = {
        {"N10 RCL ENM R15 'HI' EOC @50 EDM N5", {{14, 50, Manual, "HI"}}},
        {"N10 RCL ENM R15 'HI' EOC @45 RCL ENM R15 'YO' @50 EDM EOC N3 EDM",
         {{14, 50, Persistent, "HI"}, {51, 55, Manual, "YO"}}},
        {"N10 RCL ENM R15 'HI' EOC @40 RCL ENM R15 'YO' EOC N10 EDM",
         {{14, 44, Seamless, "HI"}, {44, 55, Manual, "YO"}}},
        // A doubled EOC starts one caption; the end is looked for two frames after the EOC.
        {"N10 RCL ENM R15 'HI' EOC EOC N1 EDM", {{14, 17, Manual, "HI"}}},
        {"N10 RCL ENM R15 'HI' EOC EDM @30 EDM", {{14, 30, Manual, "HI"}}},
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stream);
        CaptionList list;
        DecodePairStream(list, Stream(c.stream));
        const Caption* got = list.Head();
        for (const Expected& e : c.captions) {
            ASSERT_NE(got, nullptr);
            EXPECT_EQ(got->startFrame, e.start);
            EXPECT_EQ(got->endFrame, e.end);
            EXPECT_EQ(got->timingMode, e.mode);
            EXPECT_EQ(Row15(*got), e.row15);
            EXPECT_EQ(got->CountOccupiedRows(), *e.row15 ? 1 : 0);
            got = got->next;
        }
        EXPECT_EQ(got, nullptr);
    }
    CaptionList list;
    DecodePairStream(list, std::vector<uint8_t>{0x94});
    EXPECT_TRUE(list.Empty());
}

}  // namespace
}  // namespace vantrel
