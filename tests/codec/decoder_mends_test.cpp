// Cutting pair streams into captions where real files differ from the plain pop-on pattern: a
// stream that ends while a caption is shown, end-of-caption codes that show an empty screen,
// roll-up and paint-on text, and the data the decoder leaves out and counts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/decoder.h"
#include "codec/stream_words.h"

namespace vantrel {
namespace {

using testing::Stream;

struct Shown {
    int32_t start, end;
    int8_t mode;
    std::string text;
};

struct MendCase {
    const char* what;
    const char* stream;
    std::vector<Shown> captions;
    SkippedData skipped;
};

const MendCase kCases[] = {
    // The caption on screen when the stream ends is kept, two seconds or to the stream's end.
    {"ends two seconds on", "@10 RCL ENM R15 'HI' EOC @20", {{14, 74, Manual, "HI"}}, {}},
    {"ends with the stream", "@10 RCL ENM R15 'HI' EOC @300", {{14, 300, Manual, "HI"}}, {}},
    {"EOC on the last pair", "@10 RCL ENM R15 'HI' EOC", {{14, 74, Manual, "HI"}}, {}},
    {"the one before stays Seamless",
     "@10 RCL ENM R15 'HI' EOC @40 RCL ENM R15 'YO' EOC @50",
     {{14, 44, Seamless, "HI"}, {44, 104, Manual, "YO"}},
     {}},
    // An EOC that shows an empty screen erases the caption before; it makes none.
    {"EDM then an empty EOC",
     "@10 RCL ENM R15 'HI' EOC @40 EDM EOC @60 RCL ENM R15 'YO' EOC @90 EDM",
     {{14, 40, Manual, "HI"}, {64, 90, Manual, "YO"}},
     {}},
    {"RCL EDM EOC",
     "@10 RCL ENM R15 'HI' EOC @40 RCL EDM EOC @60 RCL ENM R15 'YO' EOC @90 EDM",
     {{14, 41, Manual, "HI"}, {64, 90, Manual, "YO"}},
     {}},
    {"an EOC of nothing but ENM",
     "@10 RCL ENM R15 'HI' EOC @40 ENM ENM EOC EOC @99",
     {{14, 42, Manual, "HI"}},
     {}},
    {"only empty EOCs", "@10 RCL ENM EOC @20 EDM EOC @40", {}, {}},
    // Roll-up and paint-on text goes to the screen, not into a pop-on caption, until RCL.
    {"roll-up before pop-on",
     "RU2 CR R15 'LI' 'VE' @10 RCL ENM R15 'PO' 'P' EOC @50 EDM",
     {{15, 50, Manual, "POP"}},
     {1, 0, 0, -1}},
    {"roll-up inside a loading",
     "@10 RCL ENM R15 'PO' 'P' RU3 CR R15 'LI' 'VE' EOC @50 EDM",
     {{20, 50, Manual, "POP"}},
     {1, 15, 0, -1}},
    {"paint-on shows no caption",
     "@10 RCL ENM R15 'HI' EOC @30 RDC RDC R14 'PA' 'IN' 'T' EOC @60 EDM",
     {{14, 36, Manual, "HI"}},
     {1, 30, 0, -1}},
    {"direct until the next RCL",
     "@10 RCL ENM R15 'A' EOC @30 RU2 RU2 ENM R15 'B' EOC @50 RU2 @60 RCL ENM R15 'C' EOC @90 EDM",
     {{14, 35, Manual, "A"}, {64, 90, Manual, "C"}},
     {2, 30, 0, -1}},
    // Data of the second channel is left out and counted by pairs.
    {"second channel",
     "@5 1C20 1C2E 'XY' 'Z' 1420 @10 RCL ENM R15 'HI' EOC @40 EDM",
     {{14, 40, Manual, "HI"}},
     {0, -1, 4, 5}},
};

TEST(DecoderMends, RealStreamsGiveTheCaptionsAReceiverShows) {
    for (const MendCase& t : kCases) {
        CaptionList list;
        const SkippedData skipped = DecodePairStream(list, Stream(t.stream));
        std::vector<Shown> got;
        char text[513];
        for (const Caption* c = list.Head(); c; c = c->next) {
            const size_t n = c->GetRunningText(text, false, 512);
            got.push_back({c->startFrame, c->endFrame, c->timingMode, std::string(text, n)});
        }
        ASSERT_EQ(got.size(), t.captions.size()) << t.what;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].start, t.captions[i].start) << t.what << " #" << i;
            EXPECT_EQ(got[i].end, t.captions[i].end) << t.what << " #" << i;
            EXPECT_EQ(got[i].mode, t.captions[i].mode) << t.what << " #" << i;
            EXPECT_EQ(got[i].text, t.captions[i].text) << t.what << " #" << i;
        }
        EXPECT_EQ(skipped.directCodes, t.skipped.directCodes) << t.what;
        EXPECT_EQ(skipped.firstDirectFrame, t.skipped.firstDirectFrame) << t.what;
        EXPECT_EQ(skipped.otherChannelPairs, t.skipped.otherChannelPairs) << t.what;
        EXPECT_EQ(skipped.firstOtherChannelFrame, t.skipped.firstOtherChannelFrame) << t.what;
    }
}

}  // namespace
}  // namespace vantrel
