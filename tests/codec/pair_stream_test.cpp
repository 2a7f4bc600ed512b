// Pair streams, encoded and decoded. Random projects of every timing mode come back from their
// pairs in the caption-file round trips, which encode and decode them.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "codec/tables.h"
#include "support/screen_text.h"

namespace vantrel {
namespace {

using Bytes = std::vector<uint8_t>;

// Pair streams written as words, one pair a frame: RCL, ENM, EOC, EDM, RU2, RU3, RDC, CR, R14
// and R15 (the row preambles, indent 0), 'HI' (two characters; 'A' pads with a null byte),
// four hex digits for any other pair, N5 for five null pairs, @50 for null pairs up to frame 50.
std::vector<uint8_t> Stream(const std::string& text) {
    static const std::pair<const char*, int> kCodes[] = {
        {"RCL", 0x1420}, {"ENM", 0x142E}, {"EOC", 0x142F}, {"EDM", 0x142C}, {"RU2", 0x1425},
        {"RU3", 0x1426}, {"RDC", 0x1429}, {"CR", 0x142D},  {"R14", 0x1450}, {"R15", 0x1470},
    };
    std::vector<uint8_t> bytes;
    auto pair = [&](int a, int b) {
        bytes.push_back(static_cast<uint8_t>(a | 0x80));
        bytes.push_back(static_cast<uint8_t>(b | 0x80));
    };
    std::istringstream in(text);
    for (std::string t; in >> t;) {
        int code = -1;
        for (const auto& [name, value] : kCodes) code = t == name ? value : code;
        if (code >= 0)
            pair(code >> 8, code & 0xFF);
        else if (t[0] == '\'')
            pair(t[1], t.size() > 3 ? t[2] : 0x80);
        else if (t[0] == 'N')
            for (int n = std::stoi(t.substr(1)); n > 0; --n) pair(0x80, 0x80);
        else if (t[0] == '@')
            while (bytes.size() / 2 < std::stoul(t.substr(1))) pair(0x80, 0x80);
        else
            pair(std::stoi(t.substr(0, 2), nullptr, 16), std::stoi(t.substr(2), nullptr, 16));
    }
    return bytes;
}

TEST(EncodeCodeString, Table) {
    struct Case {
        Bytes code;
        Bytes pairs;
    };
    const Case cases[] = {
        // RCL, ENM, row 15 indent 0, HI, EOC: five pairs, odd parity.
        {{0x02, 0xFE, 0x8F, 0x10, 0x48, 0x49, 0x06},
         {0x94, 0x20, 0x94, 0xAE, 0x94, 0x70, 0xC8, 0x49, 0x94, 0x2F}},
        // Two equal special characters get a filler pair between them, whatever follows.
        {{0x90, 0x90}, {0x91, 0x37, 0x80, 0x80, 0x91, 0x37}},
        {{0x90, 0x90, 0x06}, {0x91, 0x37, 0x80, 0x80, 0x91, 0x37, 0x94, 0x2F}},
        // Extended characters: the fallback, padding, then the pair.
        {{0xD4}, {0x4F, 0x80, 0x92, 0xBA}},
        {{0xD8}, {0x4F, 0x80, 0x13, 0xBA}},
        {{'a', 0xF9}, {0x61, 0x75, 0x92, 0xBC}},
        {{0xE7}, {0xFB}},  // the cedilla takes the brace's place
        // Preamble colour and underline fold into the preamble; a lone character is padded only
        // when a control code follows.
        {{0x81, 0x19, 0x0E, 'A', 0x06}, {0x91, 0x43, 0xC1, 0x80, 0x94, 0x2F}},
        {{}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EncodeCodeString(c.code), c.pairs) << ::testing::PrintToString(c.code);
}

std::unique_ptr<Caption> HiCaption(int32_t start, int32_t end, int8_t mode = Manual,
                                   bool valid = true) {
    auto c = std::make_unique<Caption>();
    c->startFrame = start;
    c->endFrame = end;
    c->timingMode = mode;
    c->screenValid = valid;
    testing::PutText(*c, 14, 0, "HI");
    return c;
}

TEST(GetLoadFrames, CountsPairsPlusOneAndCachesUntilTheScreenChanges) {
    Caption empty;
    EXPECT_EQ(GetLoadFrames(empty), 4);
    const std::unique_ptr<Caption> hi = HiCaption(0, 10);
    EXPECT_EQ(GetLoadFrames(*hi), 6);
    hi->cells[0][0] = {'Z', 0x38};
    EXPECT_EQ(GetLoadFrames(*hi), 6);
    hi->loadFrames = -1;
    EXPECT_EQ(GetLoadFrames(*hi), 8);
}

// Where a project's pairs fall, as pair-stream words with odd parity.
TEST(EncodeCaptions, FrameLayout) {
    struct Shown {
        int32_t start;
        int32_t end;
        int8_t mode = Manual;
        bool valid = true;
    };
    struct Case {
        const char* what;
        std::vector<Shown> captions;
        const char* stream;
        std::vector<int> leftOut;
        std::vector<std::pair<int, int64_t>> late = {};  // caption, frame shown from
    };
    // clang-format off
    const Case cases[] = {
        {"nothing", {}, "", {}},
        {"one caption", {{30, 90}}, "@26 RCL ENM R15 'HI' EOC @90 EDM", {}},
        {"a caption of one frame is erased too", {{30, 31}}, "@26 RCL ENM R15 'HI' EOC EDM", {}},
        {"touching captions need no erase", {{30, 60, Seamless}, {60, 90}},
         "@26 RCL ENM R15 'HI' EOC @56 RCL ENM R15 'HI' EOC @90 EDM", {}},
        {"an erase inside the next loading, which starts a frame early", {{50, 100}, {102, 150}},
         "@46 RCL ENM R15 'HI' EOC @97 RCL ENM R15 EDM 'HI' EOC @150 EDM", {}},
        {"an erase on the first frame of the next loading", {{50, 98}, {102, 150}},
         "@46 RCL ENM R15 'HI' EOC @97 RCL EDM ENM R15 'HI' EOC @150 EDM", {}},
        // Inserting the second caption cut the first's end to 32: its erase stays in the
        // loading of the second, which starts right after the first's EOC and shows late.
        {"a caption too close is shown late", {{30, 40}, {33, 80}, {200, 260}},
         "@26 RCL ENM R15 'HI' EOC RCL EDM ENM R15 'HI' EOC @80 EDM @196 RCL ENM R15 'HI' EOC @260 EDM",
         {}, {{1, 36}}},
        {"late ones push the next as far as they must; the one replaced stays on", {{1, 3, Seamless}, {3, 5}, {12, 20}},
         "RCL ENM R15 'HI' EOC RCL ENM R15 'HI' EOC EDM RCL ENM R15 'HI' EOC @20 EDM", {},
         {{0, 4}, {1, 9}, {2, 15}}},
        {"before frame 0 and out of range", {{2, 20}, {200, int32_t(kMaxEncodedFrame + 1)}},
         "RCL ENM R15 'HI' EOC @20 EDM", {1}, {{0, 4}}},
        {"an invalid screen", {{100, 120, Manual, false}}, "", {0}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CaptionList list;
        std::vector<const Caption*> made;
        for (const Shown& s : c.captions) {
            made.push_back(list.Insert(HiCaption(s.start, s.end, s.mode, s.valid)));
        }
        const EncodedCaptions e = EncodeCaptions(list);
        Bytes expected = Stream(c.stream);
        for (uint8_t& b : expected) b = OddParityTable[b & 0x7F];
        EXPECT_EQ(e.bytes, expected);
        std::vector<const Caption*> leftOut;
        for (int i : c.leftOut) leftOut.push_back(made[i]);
        EXPECT_EQ(e.leftOut, leftOut);
        std::vector<LateCaption> late;
        for (auto [i, from] : c.late) late.push_back({made[i], from});
        EXPECT_EQ(e.late, late);
    }
}

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

struct Shown {
    int32_t start, end;
    int8_t mode;
    std::string text;
};

struct StreamCase {
    const char* what;
    const char* stream;
    std::vector<Shown> captions;
    SkippedData skipped;
};

// clang-format off
const StreamCase kCases[] = {
    {"nothing", "", {}, {}},
    // An erase during the next loading: the caption ends a frame before the next is shown.
    {"persistent", "N10 RCL ENM R15 'HI' EOC @45 RCL ENM R15 'YO' @50 EDM EOC N3 EDM",
     {{14, 50, Persistent, "HI"}, {51, 55, Manual, "YO"}}, {}},
    // A doubled EOC starts one caption; the end is looked for two frames after the EOC.
    {"doubled EOC", "N10 RCL ENM R15 'HI' EOC EOC N1 EDM", {{14, 17, Manual, "HI"}}, {}},
    {"EDM right after the EOC", "N10 RCL ENM R15 'HI' EOC EDM @30 EDM", {{14, 30, Manual, "HI"}},
     {0, -1, 0, -1, 0, -1, 1, 15}},
    // Characters past column 32 are clipped and counted.
    {"a row too long", "@10 RCL ENM R15 'AB' 'AB' 'AB' 'AB' 'AB' 'AB' 'AB' 'AB' 'AB' 'AB' 'AB' 'AB' "
     "'AB' 'AB' 'AB' 'AB' 'AB' EOC @60 EDM", {{30, 60, Manual, "ABABABABABABABABABABABABABABABAB"}},
     {0, -1, 0, -1, 2, 30}},
    // The caption on screen when the stream ends is kept, two seconds or to the stream's end.
    {"ends two seconds on", "@10 RCL ENM R15 'HI' EOC @20", {{14, 74, Manual, "HI"}}, {}},
    {"ends with the stream", "@10 RCL ENM R15 'HI' EOC @300", {{14, 300, Manual, "HI"}}, {}},
    {"EOC on the last pair", "@10 RCL ENM R15 'HI' EOC", {{14, 74, Manual, "HI"}}, {}},
    {"the one before stays Seamless", "@10 RCL ENM R15 'HI' EOC @40 RCL ENM R15 'YO' EOC @50",
     {{14, 44, Seamless, "HI"}, {44, 104, Manual, "YO"}}, {}},
    // An EOC that shows an empty screen erases the caption before; it makes none.
    {"EDM then an empty EOC", "@10 RCL ENM R15 'HI' EOC @40 EDM EOC @60 RCL ENM R15 'YO' EOC @90 EDM",
     {{14, 40, Manual, "HI"}, {64, 90, Manual, "YO"}}, {}},
    {"RCL EDM EOC", "@10 RCL ENM R15 'HI' EOC @40 RCL EDM EOC @60 RCL ENM R15 'YO' EOC @90 EDM",
     {{14, 41, Manual, "HI"}, {64, 90, Manual, "YO"}}, {}},
    {"an EOC of nothing but ENM", "@10 RCL ENM R15 'HI' EOC @40 ENM ENM EOC EOC @99", {{14, 42, Manual, "HI"}}, {}},
    {"only empty EOCs", "@10 RCL ENM EOC @20 EDM EOC @40", {}, {}},
    // Roll-up and paint-on text goes to the screen, not into a pop-on caption, until RCL.
    {"roll-up before pop-on", "RU2 CR R15 'LI' 'VE' @10 RCL ENM R15 'PO' 'P' EOC @50 EDM",
     {{15, 50, Manual, "POP"}}, {1, 0, 0, -1}},
    {"roll-up inside a loading", "@10 RCL ENM R15 'PO' 'P' RU3 CR R15 'LI' 'VE' EOC @50 EDM",
     {{20, 50, Manual, "POP"}}, {1, 15, 0, -1}},
    {"paint-on shows no caption", "@10 RCL ENM R15 'HI' EOC @30 RDC RDC R14 'PA' 'IN' 'T' EOC @60 EDM",
     {{14, 36, Manual, "HI"}}, {1, 30, 0, -1}},
    {"direct until the next RCL",
     "@10 RCL ENM R15 'A' EOC @30 RU2 RU2 ENM R15 'B' EOC @50 RU2 @60 RCL ENM R15 'C' EOC @90 EDM",
     {{14, 35, Manual, "A"}, {64, 90, Manual, "C"}}, {2, 30, 0, -1}},
    // Data of the second channel is left out and counted by pairs.
    {"second channel", "@5 1C20 1C2E 'XY' 'Z' 1420 @10 RCL ENM R15 'HI' EOC @40 EDM",
     {{14, 40, Manual, "HI"}}, {0, -1, 4, 5}},
};
// clang-format on

TEST(DecodePairStream, StreamsGiveTheCaptionsAReceiverShows) {
    for (const StreamCase& t : kCases) {
        SCOPED_TRACE(t.what);
        CaptionList list;
        const SkippedData skipped = DecodePairStream(list, Stream(t.stream));
        const Caption* c = list.Head();
        for (const Shown& want : t.captions) {
            ASSERT_NE(c, nullptr);
            char text[513];
            const size_t n = c->GetRunningText(text, false, 512);
            EXPECT_EQ(std::tuple(c->startFrame, c->endFrame, c->timingMode, std::string(text, n)),
                      std::tuple(want.start, want.end, want.mode, want.text));
            EXPECT_EQ(c->CountOccupiedRows(), 1);
            c = c->next;
        }
        EXPECT_EQ(c, nullptr);
        auto all = [](const SkippedData& d) {
            return std::tuple(d.directCodes, d.firstDirectFrame, d.otherChannelPairs,
                              d.firstOtherChannelFrame, d.clippedCharacters, d.firstClippedFrame,
                              d.flashErases, d.firstFlashEraseFrame);
        };
        EXPECT_EQ(all(skipped), all(t.skipped));
    }
    CaptionList list;
    DecodePairStream(list, std::vector<uint8_t>{0x94});
    EXPECT_TRUE(list.Empty());
}

}  // namespace
}  // namespace vantrel
