// Encoding captions: the bytes of one code string, loading times, and the frame layout.
#include "codec/encoder.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantrel {
namespace {

using Bytes = std::vector<uint8_t>;

Caption* HiCaption(int32_t start, int32_t end) {
    auto* c = new Caption;
    c->startFrame = start;
    c->endFrame = end;
    c->timingMode = Manual;
    c->cells[14][0] = {'H', 0x38};
    c->cells[14][1] = {'I', 0x38};
    return c;
}

Bytes PairAt(const Bytes& stream, int frame) {
    return {stream[2 * frame], stream[2 * frame + 1]};
}

int CountPairs(const Bytes& stream, Bytes pair) {
    int n = 0;
    for (size_t i = 0; i + 1 < stream.size(); i += 2) n += Bytes{stream[i], stream[i + 1]} == pair;
    return n;
}

const Bytes kNullPair{0x80, 0x80}, kEdm{0x94, 0x2C}, kEoc{0x94, 0x2F}, kRcl{0x94, 0x20};

TEST(EncodeCodeString, WorkedExamples) {
    EXPECT_EQ(EncodeCodeString(Bytes{0x02, 0xFE, 0x8F, 0x10, 0x48, 0x49, 0x06}),
              (Bytes{0x94, 0x20, 0x94, 0xAE, 0x94, 0x70, 0xC8, 0x49, 0x94, 0x2F}));
    // Two equal special characters get a filler pair between them, whatever follows.
    EXPECT_EQ(EncodeCodeString(Bytes{0x90, 0x90}), (Bytes{0x91, 0x37, 0x80, 0x80, 0x91, 0x37}));
    EXPECT_EQ(EncodeCodeString(Bytes{0x90, 0x90, 0x06}),
              (Bytes{0x91, 0x37, 0x80, 0x80, 0x91, 0x37, 0x94, 0x2F}));
    // Extended characters: fallback, padding, then the pair.
    EXPECT_EQ(EncodeCodeString(Bytes{0xD4}), (Bytes{0x4F, 0x80, 0x92, 0xBA}));
    EXPECT_EQ(EncodeCodeString(Bytes{0xD8}), (Bytes{0x4F, 0x80, 0x13, 0xBA}));
    EXPECT_EQ(EncodeCodeString(Bytes{'a', 0xF9}), (Bytes{0x61, 0x75, 0x92, 0xBC}));
    EXPECT_EQ(EncodeCodeString(Bytes{0xE7}), (Bytes{0xFB}));
    // Preamble colour and underline fold into the preamble code; a character alone is padded
    // only when a control code follows.
    EXPECT_EQ(EncodeCodeString(Bytes{0x81, 0x19, 0x0E, 'A', 0x06}),
              (Bytes{0x91, 0x43, 0xC1, 0x80, 0x94, 0x2F}));
    EXPECT_TRUE(EncodeCodeString(Bytes{}).empty());
}

TEST(GetLoadFrames, CountsPairsPlusOneAndCaches) {
    Caption empty;
    EXPECT_EQ(GetLoadFrames(empty), 4);
    Caption* hi = HiCaption(0, 10);
    EXPECT_EQ(GetLoadFrames(*hi), 6);  // five pairs and one frame more
    hi->cells[0][0] = {'Z', 0x38};
    EXPECT_EQ(GetLoadFrames(*hi), 6) << "cached until the screen changes";
    hi->loadFrames = -1;
    EXPECT_EQ(GetLoadFrames(*hi), 8);
    delete hi;
}

TEST(EncodeCaptions, NoCaptionsGivesNothing) {
    CaptionList list;
    const EncodedCaptions e = EncodeCaptions(list);
    EXPECT_TRUE(e.bytes.empty());
    EXPECT_TRUE(e.leftOut.empty());
}

TEST(EncodeCaptions, OneCaptionLayout) {
    CaptionList list;
    list.Insert(HiCaption(30, 90));
    const Bytes s = EncodeCaptions(list).bytes;
    ASSERT_EQ(s.size(), 182u);
    for (int f = 0; f <= 25; ++f) EXPECT_EQ(PairAt(s, f), kNullPair) << f;
    EXPECT_EQ(PairAt(s, 26), kRcl);
    EXPECT_EQ(PairAt(s, 27), (Bytes{0x94, 0xAE}));
    EXPECT_EQ(PairAt(s, 28), (Bytes{0x94, 0x70}));
    EXPECT_EQ(PairAt(s, 29), (Bytes{0xC8, 0x49}));
    EXPECT_EQ(PairAt(s, 30), kEoc);
    for (int f = 31; f <= 89; ++f) EXPECT_EQ(PairAt(s, f), kNullPair) << f;
    EXPECT_EQ(PairAt(s, 90), kEdm);
}

TEST(EncodeCaptions, TouchingCaptionsHaveNoEraseBetween) {
    CaptionList list;
    Caption* first = HiCaption(30, 60);
    first->timingMode = Seamless;
    list.Insert(first);
    list.Insert(HiCaption(60, 90));
    ASSERT_EQ(first->endFrame, 60);
    const Bytes s = EncodeCaptions(list).bytes;
    EXPECT_EQ(PairAt(s, 60), kEoc);
    EXPECT_EQ(CountPairs(s, kEdm), 1);
    EXPECT_EQ(PairAt(s, 90), kEdm);
}

TEST(EncodeCaptions, EraseInsideTheNextLoading) {
    CaptionList list;
    list.Insert(HiCaption(50, 100));
    list.Insert(HiCaption(102, 150));
    const Bytes s = EncodeCaptions(list).bytes;
    EXPECT_EQ(PairAt(s, 97), kRcl);   // the loading starts a frame early
    EXPECT_EQ(PairAt(s, 100), kEdm);  // its fourth pair
    EXPECT_EQ(PairAt(s, 102), kEoc);
    EXPECT_EQ(PairAt(s, 150), kEdm);
}

TEST(EncodeCaptions, CaptionTooCloseIsLeftOutAlone) {
    CaptionList list;
    Caption* a = HiCaption(30, 40);
    Caption* tooClose = HiCaption(33, 80);  // its loading would start before frame 31
    Caption* later = HiCaption(200, 260);
    list.Insert(a);
    list.Insert(tooClose);
    list.Insert(later);
    tooClose->endFrame = 80;  // insertion applied a's timing only
    const EncodedCaptions e = EncodeCaptions(list);
    ASSERT_EQ(e.leftOut.size(), 1u);
    EXPECT_EQ(e.leftOut[0], tooClose);
    // a was to be replaced by the left-out caption: it keeps its erase on its end frame.
    EXPECT_EQ(PairAt(e.bytes, 32), kEdm);
    EXPECT_EQ(PairAt(e.bytes, 200), kEoc);
    EXPECT_EQ(PairAt(e.bytes, 260), kEdm);
    EXPECT_EQ(CountPairs(e.bytes, kEoc), 2);
}

TEST(EncodeCaptions, LeftOutBeforeFrameZeroInvalidAndOutOfRange) {
    CaptionList list;
    Caption* early = HiCaption(2, 20);
    Caption* invalid = HiCaption(100, 120);
    invalid->screenValid = 0;
    Caption* far = HiCaption(200, static_cast<int32_t>(kMaxEncodedFrame + 1));
    list.Insert(early);
    list.Insert(invalid);
    list.Insert(far);
    invalid->endFrame = 120;
    const EncodedCaptions e = EncodeCaptions(list);
    EXPECT_EQ(e.leftOut, (std::vector<const Caption*>{early, invalid, far}));
    EXPECT_TRUE(e.bytes.empty());
}

}  // namespace
}  // namespace vantrel
