// The decoder: pair streams in the stream notation and the captions a receiver shows of them,
// in every mode and across the changes between modes, depths, base rows and channels.
#include "codec/decoder.h"

#include <gtest/gtest.h>

#include <ranges>
#include <string>
#include <tuple>
#include <vector>

#include "codec/charset.h"
#include "support/pair_notation.h"

namespace vantrel {
namespace {

// Start, end, timing mode, rows ("14:ONE|15:TWO": caption rows from the top, code cells blank).
using Shown = std::tuple<int32_t, int32_t, int8_t, std::string>;

std::string Rows(const Caption& c) {
    std::string out;
    for (int r = 0; r < kGridRows; ++r) {
        std::string text;
        for (const uint8_t ch : c.cells[r] | std::views::transform(&CaptionCell::character))
            if (ch != 0) AppendUtf8(text, ch < 0x20 ? U' ' : CaptionCharToUnicode(ch));
        if (text.empty()) continue;
        out += (out.empty() ? "" : "|") + std::to_string(r + 1) + ":" + text;
    }
    return out;
}

// The counts that are not zero, with the frame of the first where there is one.
std::string Summary(const SkippedData& s) {
    const std::tuple<const char*, size_t, int64_t> counts[] = {
        {"rollup-codes", s.directCodes, s.firstDirectFrame},
        {"other", s.otherChannelPairs, s.firstOtherChannelFrame},
        {"text", s.textModePairs, s.firstTextModeFrame},
        {"lines", s.rollUpLines, -1},
        {"screens", s.rollUpScreens, -1},
        {"rollup-captions", s.rollUpCaptions, -1},
        {"paint", s.paintOnCaptions, -1},
        {"clipped", s.clippedCharacters, s.firstClippedFrame},
        {"flash", s.flashErases, s.firstFlashEraseFrame}};
    std::string out;
    for (const auto& [name, n, first] : counts) {
        if (n == 0) continue;
        out += (out.empty() ? "" : " ") + std::string(name) + " " + std::to_string(n);
        if (first >= 0) out += "@" + std::to_string(first);
    }
    return out;
}

struct Case {
    const char* what;
    const char* stream;
    std::vector<Shown> captions;
    std::string skipped;
    DecodeOptions options = {};
};

constexpr DecodeOptions kSkip{1, RollUpStyle::Skip};

// clang-format off
const Case kCases[] = {
    {"nothing", "", {}, ""},
    // Pop-on. An erase during the next loading: the caption ends a frame before the next.
    {"persistent", "N10 RCL ENM R15 'HI' EOC @45 RCL ENM R15 'YO' @50 EDM EOC N3 EDM",
     {{14, 50, Persistent, "15:HI"}, {51, 55, Manual, "15:YO"}}, ""},
    // A doubled EOC starts one caption; its end is looked for two frames after the EOC.
    {"doubled EOC", "N10 RCL ENM R15 'HI' EOC EOC N1 EDM", {{14, 17, Manual, "15:HI"}}, ""},
    {"EDM right after the EOC", "N10 RCL ENM R15 'HI' EOC EDM @30 EDM", {{14, 30, Manual, "15:HI"}}, "flash 1@15"},
    // Characters past column 32 are clipped and counted.
    {"a row too long", "@10 RCL ENM R15 'AB' 'AB' 'AB' 'AB' 'AB' 'AB' 'AB' 'AB' 'AB' 'AB' 'AB' 'AB' "
     "'AB' 'AB' 'AB' 'AB' 'AB' EOC @60 EDM", {{30, 60, Manual, "15:ABABABABABABABABABABABABABABABAB"}},
     "clipped 2@29"},
    {"ends two seconds on", "@10 RCL ENM R15 'HI' EOC @20", {{14, 74, Manual, "15:HI"}}, ""},
    {"ends with the stream", "@10 RCL ENM R15 'HI' EOC @300", {{14, 300, Manual, "15:HI"}}, ""},
    // An EOC that shows an empty screen erases the caption before; it makes none.
    {"EDM then an empty EOC", "@10 RCL ENM R15 'HI' EOC @40 EDM EOC @60 RCL ENM R15 'YO' EOC @90 EDM",
     {{14, 40, Manual, "15:HI"}, {64, 90, Manual, "15:YO"}}, ""},
    {"RCL EDM EOC", "@10 RCL ENM R15 'HI' EOC @40 RCL EDM EOC @60 RCL ENM R15 'YO' EOC @90 EDM",
     {{14, 41, Manual, "15:HI"}, {64, 90, Manual, "15:YO"}}, ""},
    {"an EOC of nothing but ENM", "@10 RCL ENM R15 'HI' EOC @40 ENM ENM EOC EOC @99", {{14, 42, Manual, "15:HI"}}, ""},
    // Doubled codes count once, tripled twice; a null pair between equal codes breaks them.
    {"doubled codes", "RCL RCL ENM ENM R15 R15 'A' 1137 1137 1137 EOC EOC @20 EDM", {{10, 20, Manual, "15:A♪♪"}}, ""},
    {"a null pair between", "1137 N1 1137 EOC @9 EDM", {{3, 9, Manual, "15:♪♪"}}, ""},
    {"the last ENM starts the loading", "RCL ENM R15 'XY' ENM R15 'OK' EOC 'ZZ' @20 EDM", {{7, 20, Manual, "15:OK"}}, ""},
    // An extended character replaces the basic fallback just before it, and only that.
    {"extended characters", "R15 'E' 1221 'xE' 1221 EOC @20 EDM", {{5, 20, Manual, "15:ÉxÉ"}}, ""},
    // ... a basic one or a space; never a special or extended character (a receiver backs
    // over those too, but they are never fallbacks).
    {"extended after special, extended, space", "R15 'A' 1137 1220 1221 1227 '_' 1220 EOC @20 EDM",
     {{8, 20, Manual, "15:A♪ÁÉ¡Á"}}, ""},
    // Before any address code, and after an erase of the loading, the cursor is on row 15.
    {"text before any address code", "RCL ENM 'HI' EOC @20 RCL R5 'NO' ENM 'OK' EOC @40 EDM",
     {{3, 25, Seamless, "15:HI"}, {25, 40, Manual, "15:OK"}}, ""},
    {"backspace and delete to end of row", "R15 'AB' 'CD' BS R14 'XY' R14 DER EOC @20 EDM", {{8, 20, Manual, "15:ABC"}}, ""},

    // Roll-up: each line once, grouped up to the depth, on the rows it used.
    {"roll-up lines", "RU2 CR R15 'ON' 'E' CR 'TW' 'O' CR 'TH' 'RE' 'E' @30 EDM",
     {{3, 9, Seamless, "14:ONE|15:TWO"}, {9, 30, Manual, "15:THREE"}}, "lines 3 rollup-captions 2"},
    {"roll-up screens", "RU2 CR R15 'ON' 'E' CR 'TW' 'O' CR 'TH' 'RE' 'E' @30 EDM",
     {{3, 5, Seamless, "15:ONE"}, {5, 8, Seamless, "14:ONE|15:TWO"}, {8, 30, Manual, "14:TWO|15:THREE"}},
     "screens 3 rollup-captions 3", {1, RollUpStyle::Screens}},
    {"roll-up skipped", "RU2 CR R15 'ON' 'E' CR 'TW' 'O' @30 EDM", {}, "rollup-codes 1@0", kSkip},
    {"a line after backspaces and a delete", "RU3 R15 'AB' 'CX' BS 'D' 'EF' BS N1 BS DER CR @20 EDM",
     {{2, 20, Manual, "15:ABCD"}}, "lines 1 rollup-captions 1"},
    {"a depth of four, the base row on top", "RU4 R2 'A' CR 'B' CR 'C' CR 'D' CR 'E' @30 EDM",
     {{2, 10, Seamless, "1:A|2:B|3:C|4:D"}, {10, 30, Manual, "4:E"}},
     "lines 5 rollup-captions 2"},
    {"a change of depth ends the group", "RU3 R15 'A' CR 'B' RU2 CR 'C' @20 EDM",
     {{2, 7, Seamless, "14:A|15:B"}, {7, 20, Manual, "15:C"}}, "lines 3 rollup-captions 2"},
    {"EDM mid-roll", "RU3 R15 'A' CR 'B' EDM 'C' CR @20 EDM",
     {{2, 5, Persistent, "14:A|15:B"}, {6, 20, Manual, "15:C"}}, "lines 3 rollup-captions 2"},
    {"a move of the base row", "RU2 R15 'AB' CR R12 'CD' @20 EDM",
     {{2, 5, Seamless, "15:AB"}, {5, 20, Manual, "12:CD"}}, "lines 2 rollup-captions 2"},
    // Writers send the roll-up code again before each line: the same depth keeps the group.
    {"the same depth again mid-roll", "RU2 R15 'A' CR RU2 'B' CR 'C' @20 EDM",
     {{2, 7, Seamless, "14:A|15:B"}, {7, 20, Manual, "15:C"}}, "lines 3 rollup-captions 2"},
    {"a move of the base row from the top", "RU2 R2 'AB' CR 'CD' CR R10 'EF' @20 EDM",
     {{2, 3, Seamless, "2:AB"}, {3, 5, Seamless, "1:AB|2:CD"}, {5, 7, Seamless, "1:CD"},
      {7, 20, Manual, "9:CD|10:EF"}}, "screens 4 rollup-captions 4", {1, RollUpStyle::Screens}},

    // Transitions: pop-on to roll-up (which erases) to paint-on to pop-on.
    {"pop-on, roll-up, paint-on, pop-on",
     "RCL ENM R15 'PO' EOC @10 RU2 R15 'RU' CR @20 RDC R5 'PA' @30 EDM @40 RCL ENM R15 'P2' EOC @60 EDM",
     {{4, 10, Manual, "15:PO"}, {12, 22, Seamless, "15:RU"}, {22, 30, Manual, "5:PA|14:RU"}, {44, 60, Manual, "15:P2"}},
     "lines 1 rollup-captions 1 paint 1"},
    {"roll-up then pop-on", "RU2 CR R15 'LI' 'VE' @10 RCL ENM R15 'PO' 'P' EOC @50 EDM",
     {{3, 15, Seamless, "15:LIVE"}, {15, 50, Manual, "15:POP"}}, "lines 1 rollup-captions 1"},
    {"roll-up skipped before pop-on", "RU2 CR R15 'LI' 'VE' @10 RCL ENM R15 'PO' 'P' EOC @50 EDM",
     {{15, 50, Manual, "15:POP"}}, "rollup-codes 1@0", kSkip},
    {"roll-up skipped inside a loading", "@10 RCL ENM R15 'PO' 'P' RU3 CR R15 'LI' 'VE' EOC @50 EDM",
     {{20, 50, Manual, "15:POP"}}, "rollup-codes 1@15", kSkip},
    {"skipped until the next RCL",
     "@10 RCL ENM R15 'A' EOC @30 RU2 RU2 ENM R15 'B' EOC @50 RU2 @60 RCL ENM R15 'C' EOC @90 EDM",
     {{14, 35, Manual, "15:A"}, {64, 90, Manual, "15:C"}}, "rollup-codes 2@30", kSkip},
    // Paint-on: the screen that painting builds, from its first character to its erase.
    {"paint-on", "@10 RDC R14 'PA' 'IN' 'T' @30 EDM", {{12, 30, Manual, "14:PAINT"}}, "paint 1"},
    // A tab offset shows nothing: the screen and the line start with their first character.
    {"paint-on after a tab offset", "@10 RDC R14 1721 'PA' @30 EDM", {{13, 30, Manual, "14:PA"}}, "paint 1"},
    {"roll-up after a tab offset", "RU2 R15 1722 'AB' CR @20 EDM", {{3, 20, Manual, "15:AB"}},
     "lines 1 rollup-captions 1"},
    {"painting over a pop-on caption, replaced",
     "@10 RCL ENM R15 'HI' EOC @30 RDC RDC R14 'PA' 'IN' 'T' EOC @60 EDM",
     {{14, 33, Seamless, "15:HI"}, {33, 36, Manual, "14:PAINT|15:HI"}}, "paint 1"},
    {"painting at the stream's end", "RDC R1 'P' @10", {{2, 62, Manual, "1:P"}}, "paint 1"},

    // Text mode is left out; so is the other channel of the field, counted by pairs.
    {"text mode", "TR 'AB' 'CD' RCL ENM R15 'HI' EOC @20 EDM", {{7, 20, Manual, "15:HI"}}, "text 3@0"},
    {"channel 1 beside channel 2", "1C20 1C2E 1C70 'HI' 1C2F @10 RCL ENM R15 'NO' EOC @30 1C2C",
     {{14, 74, Manual, "15:NO"}}, "other 6@0"},
    {"channel 2 beside channel 1", "1C20 1C2E 1C70 'HI' 1C2F @10 RCL ENM R15 'NO' EOC @30 1C2C",
     {{4, 30, Manual, "15:HI"}}, "other 5@10", {2}},
    {"a channel switch inside a loading", "RCL ENM R15 'HI' 1C20 1C2E 1C70 'NO' 1137 1C2F 'QQ' EOC @20 EDM",
     {{11, 20, Manual, "15:HI♪"}}, "other 6@4"},
    // Field 2: channel 3, beside the extended data service.
    {"channel 3 beside data service", "0105 'XY' 0F20 RCL ENM R15 'HI' EOC @20 EDM",
     {{7, 20, Manual, "15:HI"}}, "", {3}},
    // A caption code ends a data service packet that never got its end code.
    {"channel 3 after a data service cut short", "0105 'XY' RCL ENM R15 'HI' EOC @20 EDM",
     {{6, 20, Manual, "15:HI"}}, "", {3}},
    // Row 11's address starts with 10, just past the data service's codes.
    {"channel 3 on row 11", "RCL ENM R11 'HI' EOC @20 EDM", {{4, 20, Manual, "11:HI"}}, "", {3}},
};
// clang-format on

TEST(CaptionDecoder, StreamsGiveTheCaptionsAReceiverShows) {
    for (const Case& t : kCases) {
        SCOPED_TRACE(t.what);
        CaptionList list;
        const SkippedData skipped =
            DecodePairStream(list, testing::Stream(t.stream), nullptr, t.options);
        std::vector<Shown> got;
        for (const Caption* c = list.Head(); c; c = c->next) {
            got.emplace_back(c->startFrame, c->endFrame, c->timingMode, Rows(*c));
            EXPECT_EQ(c->screenValid, 1);
        }
        EXPECT_EQ(got, t.captions);
        EXPECT_EQ(Summary(skipped), t.skipped);
    }
    // A control byte with no second byte gives nothing.
    CaptionList list;
    DecodePairStream(list, std::vector<uint8_t>{0x94});
    EXPECT_TRUE(list.Empty());
}

}  // namespace
}  // namespace vantrel
