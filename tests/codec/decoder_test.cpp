// Decoding pair streams into captions: cutting, timing modes, repetitions, other channels.
#include "codec/decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantrel {
namespace {

// Builds a pair stream frame by frame, bit 7 set on every byte.
class Stream {
  public:
    Stream& Null(int frames = 1) {
        for (int i = 0; i < frames; ++i) Pair(0x80, 0x80);
        return *this;
    }
    Stream& Pair(int a, int b) {
        bytes_.push_back(static_cast<uint8_t>(a | 0x80));
        bytes_.push_back(static_cast<uint8_t>(b | 0x80));
        return *this;
    }
    Stream& Rcl() { return Pair(0x14, 0x20); }
    Stream& Enm() { return Pair(0x14, 0x2E); }
    Stream& Eoc() { return Pair(0x14, 0x2F); }
    Stream& Edm() { return Pair(0x14, 0x2C); }
    Stream& Row15() { return Pair(0x14, 0x70); }
    Stream& NullTo(int frame) { return Null(frame - Frames()); }
    int Frames() const { return static_cast<int>(bytes_.size() / 2); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

  private:
    std::vector<uint8_t> bytes_;
};

std::vector<const Caption*> Decode(const Stream& s, CaptionList& list) {
    DecodePairStream(list, s.Bytes());
    std::vector<const Caption*> out;
    for (const Caption* c = list.Head(); c; c = c->next) out.push_back(c);
    return out;
}

std::string RowText(const Caption& c, int row) {
    std::string out;
    for (const CaptionCell& cell : c.cells[row]) {
        if (cell.character >= 0x20) out += static_cast<char>(cell.character);
    }
    return out;
}

// Ten null pairs, the loading of HI at row 15, EOC at frame 14.
Stream HiCaption() {
    Stream s;
    s.Null(10).Rcl().Enm().Row15().Pair('H', 'I').Eoc();
    return s;
}

TEST(DecodePairStream, OneCaptionErasedLaterIsManual) {
    Stream s = HiCaption();
    s.NullTo(50).Edm().Null(5);
    CaptionList list;
    auto captions = Decode(s, list);
    ASSERT_EQ(captions.size(), 1u);
    EXPECT_EQ(captions[0]->startFrame, 14);
    EXPECT_EQ(captions[0]->endFrame, 50);
    EXPECT_EQ(captions[0]->timingMode, Manual);
    EXPECT_EQ(captions[0]->cells[14][0], (CaptionCell{'H', 0x38}));
    EXPECT_EQ(captions[0]->cells[14][1], (CaptionCell{'I', 0x38}));
    EXPECT_EQ(captions[0]->CountOccupiedRows(), 1);
}

TEST(DecodePairStream, EraseThenNextCaptionIsPersistent) {
    Stream s = HiCaption();
    s.NullTo(50).Edm().Eoc();
    CaptionList list;
    auto captions = Decode(s, list);
    ASSERT_EQ(captions.size(), 1u);  // nothing ends the second caption
    EXPECT_EQ(captions[0]->timingMode, Persistent);
    EXPECT_EQ(captions[0]->endFrame, 50);

    s.Null(3).Edm();
    CaptionList again;
    captions = Decode(s, again);
    ASSERT_EQ(captions.size(), 2u);
    EXPECT_EQ(captions[1]->startFrame, 51);
    EXPECT_EQ(captions[1]->endFrame, 55);
    EXPECT_EQ(captions[0]->endFrame, 50);
}

TEST(DecodePairStream, EndOfCaptionFollowingReplacesSeamlessly) {
    Stream s = HiCaption();
    s.NullTo(40).Rcl().Enm().Row15().Pair('Y', 'O').Eoc().Null(10).Edm();
    CaptionList list;
    auto captions = Decode(s, list);
    ASSERT_EQ(captions.size(), 2u);
    EXPECT_EQ(captions[0]->timingMode, Seamless);
    EXPECT_EQ(captions[0]->endFrame, 44);
    EXPECT_EQ(RowText(*captions[1], 14), "YO");
}

TEST(DecodePairStream, BackToBackEndOfCaptionStartsOneCaption) {
    Stream s = HiCaption();
    s.Eoc();          // frame 15, a doubled copy
    s.Null(1).Edm();  // frame 17
    CaptionList list;
    auto captions = Decode(s, list);
    ASSERT_EQ(captions.size(), 1u);
    EXPECT_EQ(captions[0]->startFrame, 14);
    EXPECT_EQ(captions[0]->endFrame, 17);

    // The end search starts two frames after the EOC, so an EDM at 15 does not end it.
    Stream t = HiCaption();
    t.Edm().NullTo(30).Edm();
    CaptionList other;
    captions = Decode(t, other);
    ASSERT_EQ(captions.size(), 1u);
    EXPECT_EQ(captions[0]->endFrame, 30);
}

TEST(DecodePairStream, ShortAndEmptyStreams) {
    CaptionList list;
    DecodePairStream(list, std::vector<uint8_t>{0x94});
    EXPECT_TRUE(list.Empty());
    DecodePairStream(list, std::vector<uint8_t>{});
    EXPECT_TRUE(list.Empty());
    Stream s = HiCaption();  // no end after the EOC
    DecodePairStream(list, s.Bytes());
    EXPECT_TRUE(list.Empty());

    CaptionProject project;
    DecodePairStream(project, s.Bytes());
    EXPECT_EQ(project.modified, 1);
}

TEST(DecodePairs, DoubledCodesCountOnceAndTripledTwice) {
    Stream s;
    s.Rcl().Rcl().Enm().Enm().Pair(0x14, 0x70).Pair(0x14, 0x70).Pair('A', 0x80);
    s.Pair(0x11, 0x37).Pair(0x11, 0x37).Pair(0x11, 0x37);  // three music notes sent: two count
    s.Eoc().Eoc();
    const CodeString code = DecodePairs(s.Bytes());
    EXPECT_EQ(code, (CodeString{0xFE, 0x8F, 0x10, 'A', 0x90, 0x90, 0x06}));

    // A null pair between two equal codes makes the second count.
    Stream t;
    t.Pair(0x11, 0x37).Null().Pair(0x11, 0x37).Eoc();
    EXPECT_EQ(DecodePairs(t.Bytes()), (CodeString{0x90, 0x90, 0x06}));
}

TEST(DecodePairs, LastEraseOfNonDisplayedMemoryStartsTheLoading) {
    Stream s;
    s.Rcl().Enm().Row15().Pair('X', 'Y').Enm().Row15().Pair('O', 'K').Eoc().Pair('Z', 'Z');
    EXPECT_EQ(DecodePairs(s.Bytes()), (CodeString{0xFE, 0x8F, 0x10, 'O', 'K', 0x06}));
    Stream none;
    none.Null(3);
    EXPECT_TRUE(DecodePairs(none.Bytes()).empty());
    // A control byte with no second byte ends the decoding.
    EXPECT_EQ(DecodePairs(std::vector<uint8_t>{'A' | 0x80, 0x94}), (CodeString{'A'}));
}

TEST(DecodePairs, SecondChannelDataIsIgnored) {
    Stream s;
    s.Rcl().Enm().Row15().Pair('H', 'I');
    s.Pair(0x1C, 0x20).Pair(0x1C, 0x2E).Pair(0x1C, 0x70).Pair('N', 'O');  // channel 2
    s.Pair(0x11, 0x37);  // back on channel 1: the music note
    s.Pair(0x1C, 0x2F).Pair('Q', 'Q').Eoc();
    EXPECT_EQ(DecodePairs(s.Bytes()), (CodeString{0xFE, 0x8F, 0x10, 'H', 'I', 0x90, 0x06}));
}

TEST(DecodePairs, ExtendedCharacterReplacesItsFallback) {
    Stream s;
    s.Row15().Pair('E', 0x80).Pair(0x12, 0x21).Pair('x', 'E').Pair(0x12, 0x21).Eoc();
    EXPECT_EQ(DecodePairs(s.Bytes()), (CodeString{0x8F, 0x10, 0xC9, 'x', 0xC9, 0x06}));
    // Without a character just before it, nothing is replaced.
    Stream t;
    t.Row15().Pair(0x12, 0x21).Eoc();
    EXPECT_EQ(DecodePairs(t.Bytes()), (CodeString{0x8F, 0x10, 0xC9, 0x06}));
}

}  // namespace
}  // namespace vantrel
