// Reading streams: the start-code reader, frame counts, caption extraction, and damaged or
// meaningless streams, which must be read within bounds (the sanitizer build checks), give a
// prefix of the whole stream's pairs, and copy whole through a multiplex.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "codec/encoder.h"
#include "files/file.h"
#include "mpeg/elementary_pictures.h"
#include "mpeg/mpeg_fakes.h"
#include "mpeg/start_code_reader.h"

namespace vantrel {
namespace {

using testing::Append;
using testing::CaptionUnit;
using testing::Collect;
using testing::Octets;
using testing::StreamBuilder;
using testing::TempDir;
using testing::Unit;

// The pieces the reader hands out, each checked against the position it reports.
std::vector<Octets> ReadPieces(const Octets& stream) {
    testing::SourceFile source(stream);
    StartCodeReader reader(source.file);
    std::vector<Octets> pieces;
    uint64_t position = 0;
    EXPECT_EQ(reader.Position(), 0u);
    while (const uint8_t* unit = reader.Next()) {
        pieces.emplace_back(unit, unit + reader.Size());
        EXPECT_EQ(reader.Position(), position += reader.Size());
    }
    EXPECT_EQ(reader.Size(), 0u);
    EXPECT_EQ(reader.Next(), nullptr) << "the end stays the end";
    EXPECT_FALSE(reader.Failed());
    return pieces;
}

Octets Join(std::initializer_list<Octets> parts) {
    Octets joined;
    for (const Octets& part : parts) Append(joined, part);
    return joined;
}

TEST(StartCodeReader, UnitsTable) {
    struct Case {
        std::string what;
        Octets stream;
        std::vector<size_t> sizes;
    };
    // clang-format off
    std::vector<Case> cases = {
        {"nothing", {}, {}},
        // 00 00 00 01: the start code is the last three bytes; the stuffing zero ends the unit.
        {"a stuffing zero", Join({Unit(0xB3, 6), {0x00, 0x00, 0x00, 0x01, 0xB8, 0x11}}), {7, 5}},
        {"cut inside a start code", Join({Unit(0xB3, 10), {0x00, 0x00}}), {12}},
        {"cut after a start code", Join({Unit(0xB3, 10), {0x00, 0x00, 0x01}}), {10, 3}},
    };
    // clang-format on
    // A second start code at file offset `at`, near the end of the first window, after a unit
    // that begins the window (one longer than the window comes out as a full window and the
    // rest) or one that begins inside it.
    for (const size_t at : {65530, 65535, 65536, 65537, 65538, 65539, 65540, 65541}) {
        const size_t w = kReaderWindowSize;
        cases.push_back(
            {"a unit of " + std::to_string(at), Join({Unit(0xB3, at), Unit(0xB8, 12)}),
             at <= w ? std::vector<size_t>{at, 12} : std::vector<size_t>{w, at - w, 12}});
        cases.push_back({"a unit to " + std::to_string(at),
                         Join({Unit(0xB3, 100), Unit(0x00, at - 100), Unit(0xB8, 12)}),
                         {100, at - 100, 12}});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<size_t> sizes;
        Octets joined;
        for (const Octets& p : ReadPieces(c.stream)) {
            sizes.push_back(p.size());
            Append(joined, p);
        }
        EXPECT_EQ(sizes, c.sizes);
        EXPECT_EQ(joined, c.stream);
    }
}

// Random streams of units of every size, with zero runs inside them that form no start code:
// the pieces, joined where one goes on without a start code of its own, are the units that a
// plain scan finds, and a unit goes on in another piece only after one that filled the window.
TEST(StartCodeReader, RandomStreamsComeOutAsAPlainScanSplitsThem) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        Octets s;
        if (round % 3 == 0) Append(s, {0x47, 0x00, 0x00});  // a headless front
        while (s.size() < 400000) {
            const uint32_t kind = rng() % 10;
            size_t size = kind < 6   ? 4 + rng() % 200
                          : kind < 9 ? 4 + rng() % 70000
                                     : 65000 + rng() % 200000;
            Octets unit = Unit(static_cast<uint8_t>(rng()), size, static_cast<uint8_t>(rng()));
            for (size_t k = 4; k + 2 < unit.size(); k += 1 + rng() % 300) {
                unit[k] = 0;
                if (rng() % 2) unit[k + 1] = 0;
            }
            Append(s, unit);
        }
        std::vector<Octets> units;
        size_t last = 0;  // the size of the piece before
        for (const Octets& p : ReadPieces(s)) {
            ASSERT_FALSE(p.empty());
            if (units.empty() || BeginsWithStartCode(p.data(), p.size())) {
                units.push_back(p);
            } else {
                ASSERT_GE(last, kReaderWindowSize - 2) << "a unit cut short of the window";
                Append(units.back(), p);
            }
            last = p.size();
        }
        EXPECT_TRUE(units == testing::SplitUnits(s));
    }
}

TEST(StartCodeReaderErrors, AFileThatCannotBeReadEndsTheStreamAndSaysSo) {
    TempDir dir;
    File file;
    ASSERT_TRUE(file.Open(dir.File("w.m2v"), File::Mode::Create));
    StartCodeReader reader(file);
    EXPECT_EQ(reader.Next(), nullptr);
    EXPECT_TRUE(reader.Failed());
}

// One picture per letter: F a frame picture, 1 and 2 the top and bottom field pictures (each
// with its coding extension), M an MPEG-1 picture without one. Every picture has a slice whose
// data holds zero bytes that are no start code.
Octets Pictures(const std::string& pictures) {
    Octets out;
    for (const char p : pictures) {
        Append(out, {0x00, 0x00, 0x01, 0x00, 0x00, 0x0F, 0xFF, 0xF8});
        if (p != 'M') {
            const uint8_t structure = p == 'F' ? 3 : static_cast<uint8_t>(p - '0');
            Append(out, {0x00, 0x00, 0x01, 0xB5, 0x8F, 0xFF, uint8_t(0xF0 | structure), 0x80});
        }
        Append(out, {0x00, 0x00, 0x01, 0x01, 0x12, 0x00, 0x00, 0x34, 0x00, 0x56, 0x00, 0x00, 0x02});
    }
    return out;
}

// Frame pictures, field pairs and MPEG-1 pictures, in memory; in a file, each byte of a picture
// start code in turn as the last of the first megabyte read.
TEST(ElementaryStreamFrames, CountsFramesInMemoryAndAcrossReadChunks) {
    const std::pair<std::string, int64_t> cases[] = {
        {std::string(37, 'F'), 37}, {"F1212121212", 6}, {"MMMM", 4}, {"", 0}};
    for (const auto& [pictures, frames] : cases) {
        const Octets s = Pictures(pictures);
        EXPECT_EQ(CountElementaryStreamFrames(s.data(), s.size()), frames) << pictures;
    }
    testing::TempDir dir;
    for (size_t cut = 0; cut < 8; ++cut) {
        Octets s = Pictures("F");
        s.resize((1 << 20) - cut - 1, 0xFF);
        Append(s, Pictures("F"));
        s.resize((1 << 20) + 100, 0xFF);
        Append(s, Pictures("F"));
        testing::WriteBytes(dir.File("cut.m2v"), s);
        EXPECT_EQ(CountElementaryStreamFrames(dir.File("cut.m2v")), 3) << "cut " << cut;
    }
    EXPECT_EQ(CountElementaryStreamFrames(std::string("/nonexistent/stream.m2v")), -1);
}

TEST(Extraction, UserDataTable) {
    // A unit much longer than the reader's window is read through all its pieces.
    Octets longUnit, longPairs;
    for (int i = 0; i < 25000; ++i) {
        const uint8_t a = static_cast<uint8_t>(0x80 | (i % 100)), b = uint8_t(0x81 + i % 90);
        Append(longUnit, {0xFF, a, b, 0xFE, 0x00, 0x00});
        Append(longPairs, {a, b});
    }
    struct Case {
        const char* what;
        Octets unit;
        Octets pairs;  // the pairs of the field read, bit 7 set
        int field = 1;
    };
    const Case cases[] = {
        {"field 1 first",
         CaptionUnit(0x8A, {0xFF, 0x94, 0x20, 0xFE, 0x15, 0x2C, 0xFF, 0x94, 0xAE, 0xFE, 0, 0}),
         {0x94, 0xA0, 0x94, 0xAE}},
        {"field 2 first, and read",
         CaptionUnit(0x8A, {0xFE, 0x15, 0x2C, 0xFF, 0x94, 0x20, 0xFE, 0, 0, 0xFF, 0x94, 0xAE}),
         {0x95, 0xAC, 0x80, 0x80},
         2},
        {"any other marker ends the triplets",
         CaptionUnit(0x8A, {0xFF, 0x94, 0x20, 0xFA, 0x11, 0x22, 0xFF, 0x94, 0xAE}),
         {0x94, 0xA0}},
        {"no field-1 pairs", CaptionUnit(0x82, {0xFE, 0, 0, 0xFE, 0, 0}), {}},
        {"ATSC user data is not ours", testing::kAtscUserData, {}},
        {"longer than the window", CaptionUnit(0x90, longUnit), longPairs},
    };
    for (const Case& c : cases) {
        StreamBuilder s;  // sequence header, group, the user data, a picture
        const testing::Collected got =
            Collect(s.SequenceHeader().Group().Add(c.unit).Picture().bytes(), {}, c.field);
        EXPECT_EQ(got.pairs, c.pairs) << c.what;
        EXPECT_EQ(got.status, c.pairs.empty() ? MpegStatus::NoCaptions : MpegStatus::Completed)
            << c.what;
    }
}

TEST(Extraction, CancelStopsAtTheNextUnitWithNothingCollected) {
    StreamBuilder s;
    s.SequenceHeader();
    for (int g = 0; g < 10; ++g) s.Group().Add(CaptionUnit(0x82, {0xFF, 0x94, 0x20})).Pictures(1);
    std::atomic<int> cancel{0};
    testing::SourceFile source(s.bytes());
    testing::RecordingSink sink;
    sink.onCall = [&](size_t count) {
        if (count == 5) cancel = 1;
    };
    CaptionList list;
    const MpegOutcome outcome = ExtractCaptions(source.file, sink, cancel, list);
    EXPECT_EQ(outcome.status, MpegStatus::Cancelled);
    EXPECT_EQ(outcome.message, "");
    EXPECT_EQ(sink.positions.size(), 5u) << "the flag is read before each unit";
    EXPECT_TRUE(list.Empty());
}

class BadInput : public ::testing::Test {
  protected:
    BadInput() {
        testing::AddCaption(captions_, 6, 20, "BAD");
        testing::AddCaption(captions_, 120, 200, "TWO TWO");
        encoded_ = EncodeCaptions(captions_).bytes;
    }

    // Multiplexes the stream and checks the copy against the plain model: a stream without a
    // sequence header at its start is refused and leaves no copy.
    void CheckMultiplex(const Octets& stream) {
        const testing::Multiplexed m = testing::Multiplex(captions_, stream);
        if (!testing::BeginsWithSequenceHeader(stream)) {
            EXPECT_EQ(m.outcome.status, MpegStatus::NotAVideoStream);
            EXPECT_FALSE(m.exists);
            return;
        }
        ASSERT_EQ(m.outcome.status, MpegStatus::Completed);
        EXPECT_EQ(testing::WithoutCaptionUnits(m.output), testing::WithoutCaptionUnits(stream));
        EXPECT_EQ(Collect(m.output).pairs,
                  testing::ExpectedPairs(encoded_, testing::CarriedPictures(stream)));
    }

    CaptionList captions_;
    Octets encoded_;
};

TEST_F(BadInput, AStreamCutAnywhereGivesAPrefixOfItsPairsAndIsStillCopiedWhole) {
    StreamBuilder s;
    s.SequenceHeader().Group().Add(
        CaptionUnit(0x84, {0xFF, 0x94, 0x20, 0xFE, 0, 0, 0xFF, 0x94, 0xAE, 0xFE, 0, 0}));
    s.Add(testing::kAtscUserData).Picture(1, 12).Picture(2, 10).Group();
    s.Add(CaptionUnit(0x82, {0xFE, 0, 0, 0xFF, 0xC1, 0xC2})).Picture(1, 20).Group();
    s.Picture(1, 8).SequenceEnd();
    const Octets& whole = s.bytes();
    const testing::Collected full = Collect(whole);
    const Octets& all = full.pairs;
    ASSERT_EQ(all, (Octets{0x94, 0xA0, 0x94, 0xAE, 0xC1, 0xC2}));
    std::vector<uint64_t> ends;
    for (const Octets& unit : testing::SplitUnits(whole))
        ends.push_back(unit.size() + (ends.empty() ? 0 : ends.back()));
    EXPECT_EQ(full.positions, ends) << "progress once per unit, at its end";
    for (size_t n = 0; n <= whole.size(); ++n) {
        SCOPED_TRACE("cut at " + std::to_string(n));
        const Octets cut(whole.begin(), whole.begin() + n);
        const testing::Collected got = Collect(cut);
        EXPECT_EQ(got.status, got.pairs.empty() ? MpegStatus::NoCaptions : MpegStatus::Completed);
        ASSERT_LE(got.pairs.size(), all.size());
        EXPECT_TRUE(std::equal(got.pairs.begin(), got.pairs.end(), all.begin()));
        if (n % 3 == 0) CheckMultiplex(cut);
    }
}

TEST_F(BadInput, ALongGroupHeaderGetsItsCaptionUnitAfterAllItsPieces) {
    StreamBuilder s;
    s.SequenceHeader().Group();
    Octets longHeader = testing::Unit(0xB8, 70000);
    longHeader[65540] = 0x01;  // the second piece begins with 01, after a full first piece
    s.Add(longHeader).Pictures(2).Group().Pictures(1);
    CheckMultiplex(s.bytes());
}

// Random group structures, and one group whose caption unit outgrows the reader's window.
TEST_F(BadInput, RandomGroupStructuresGetAPairForEveryPicture) {
    std::mt19937 rng(7);
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        StreamBuilder s;
        s.SequenceHeader();
        for (int g = round == 0 ? 1 : 1 + int(rng() % 30); g > 0; --g) {
            s.Group();
            for (int p = round == 0 ? 12000 : int(rng() % 25); p > 0; --p) {
                s.Picture(round == 0 ? 0 : int(rng() % 4), 10 + rng() % 3000);
            }
        }
        if (round % 2) s.SequenceEnd();
        CheckMultiplex(s.bytes());
    }
}

// Octets drawn mostly from the values that make start codes and caption units; most begin
// with a sequence header, so that a multiplex copies them.
Octets RandomStream(std::mt19937& rng, size_t size) {
    static constexpr uint8_t kCommon[] = {0x00, 0x00, 0x00, 0x01, 0xB2,
                                          0xB8, 0x43, 0xF8, 0xFF, 0xFE};
    Octets s;
    if (rng() % 4 != 0) s = testing::Unit(0xB3, 12);
    while (s.size() < size) {
        const uint32_t kind = rng() % 6;
        if (kind == 0) Append(s, {0x00, 0x00, 0x01, uint8_t(rng() % 2 ? 0x00 : 0xB8)});
        if (kind == 1) Append(s, {0x00, 0x00, 0x01, 0xB2, 0x43, 0x43, 0x01, 0xF8});
        if (kind == 2) s.push_back(kCommon[rng() % sizeof kCommon]);
        if (kind > 2) s.push_back(static_cast<uint8_t>(rng()));
    }
    return s;
}

// Random streams, and a last one of zeros alone.
TEST_F(BadInput, RandomBytesAndZerosAreReadAndCopiedSafely) {
    std::mt19937 rng(99);
    for (int round = 0; round <= 60; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const size_t size = round < 50 ? 1 + rng() % 3000 : 60000 + rng() % 80000;
        const Octets s = round < 60 ? RandomStream(rng, size) : Octets(200000, 0);
        const testing::Collected got = Collect(s);
        EXPECT_EQ(got.status, got.pairs.empty() ? MpegStatus::NoCaptions : MpegStatus::Completed);
        EXPECT_EQ(got.pairs.size() % 2, 0u);
        for (const uint8_t b : got.pairs) ASSERT_GE(b, 0x80);
        EXPECT_TRUE(round < 60 || got.pairs.empty());
        CheckMultiplex(s);
    }
}

}  // namespace
}  // namespace vantrel
