// The start-code reader: unit boundaries and positions, long units in pieces, start codes on
// the window's edge, and streams that are empty, headless or damaged; and counting the frames of
// a raw MPEG video stream by its picture start codes.
#include "mpeg/start_code_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "files/file.h"
#include "mpeg/elementary_pictures.h"
#include "mpeg/mpeg_fakes.h"

namespace vantrel {
namespace {

using testing::Append;
using testing::Bytes;
using testing::TempDir;
using testing::Unit;

struct Piece {
    Bytes bytes;
    uint64_t positionAfter;
};

std::vector<Piece> ReadPieces(const Bytes& stream) {
    TempDir dir;
    testing::WriteBytes(dir / "s.m2v", stream);
    File file;
    EXPECT_TRUE(file.Open(dir / "s.m2v", File::Mode::Read)) << file.Error();
    StartCodeReader reader(file);
    std::vector<Piece> pieces;
    uint64_t before = reader.Position();
    while (const uint8_t* unit = reader.Next()) {
        EXPECT_EQ(reader.Position() - before, reader.Size());
        pieces.push_back({Bytes(unit, unit + reader.Size()), reader.Position()});
        before = reader.Position();
    }
    EXPECT_EQ(reader.Size(), 0u);
    EXPECT_EQ(reader.Next(), nullptr) << "the end stays the end";
    EXPECT_FALSE(reader.Failed());
    return pieces;
}

std::vector<size_t> Sizes(const std::vector<Piece>& pieces) {
    std::vector<size_t> sizes;
    for (const Piece& p : pieces) sizes.push_back(p.bytes.size());
    return sizes;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes joined;
    for (const Bytes& part : parts) Append(joined, part);
    return joined;
}

TEST(StartCodeReader, UnitsTable) {
    struct Case {
        std::string what;
        Bytes stream;
        std::vector<size_t> sizes;
    };
    // clang-format off
    std::vector<Case> cases = {
        {"nothing", {}, {}},
        {"bytes before the first start code", Join({{0xAB, 0xCD, 0x00, 0x00, 0xEF}, Unit(0xB3, 10)}), {5, 10}},
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
        const std::vector<Piece> pieces = ReadPieces(c.stream);
        EXPECT_EQ(Sizes(pieces), c.sizes);
        Bytes joined;
        for (const Piece& p : pieces) {
            Append(joined, p.bytes);
            EXPECT_EQ(p.positionAfter, joined.size());
        }
        EXPECT_EQ(joined, c.stream);
    }
}

// Every start code in the file, by a plain scan.
std::vector<size_t> StartCodeOffsets(const Bytes& s) {
    std::vector<size_t> offsets;
    for (size_t i = 0; i + 2 < s.size(); ++i) {
        if (s[i] == 0 && s[i + 1] == 0 && s[i + 2] == 1) offsets.push_back(i);
    }
    return offsets;
}

TEST(StartCodeReaderRandomStreams, UnitsEndExactlyAtEveryStartCodeAndOnlyLongUnitsSplit) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 12; ++round) {
        Bytes s;
        if (round % 3 == 0) Append(s, {0x47, 0x00, 0x00});  // a headless front
        while (s.size() < 400000) {
            const uint32_t kind = rng() % 10;
            size_t size = kind < 6   ? 4 + rng() % 200
                          : kind < 9 ? 4 + rng() % 70000
                                     : 65000 + rng() % 200000;
            Bytes unit = Unit(static_cast<uint8_t>(rng()), size, static_cast<uint8_t>(rng()));
            // Zero runs inside units, as stuffing and as data, without forming a start code.
            for (size_t k = 4; k + 2 < unit.size(); k += 1 + rng() % 300) {
                unit[k] = 0;
                if (rng() % 2) unit[k + 1] = 0;
            }
            Append(s, unit);
        }
        const std::vector<Piece> pieces = ReadPieces(s);
        std::vector<size_t> boundaries;  // where each piece begins
        size_t offset = 0;
        for (const Piece& p : pieces) {
            ASSERT_FALSE(p.bytes.empty());
            boundaries.push_back(offset);
            ASSERT_TRUE(std::equal(p.bytes.begin(), p.bytes.end(), s.begin() + offset));
            offset += p.bytes.size();
            ASSERT_EQ(p.positionAfter, offset);
        }
        ASSERT_EQ(offset, s.size());
        const std::vector<size_t> codes = StartCodeOffsets(s);
        for (size_t c : codes) {
            if (c == 0) continue;
            EXPECT_TRUE(std::binary_search(boundaries.begin(), boundaries.end(), c))
                << "round " << round << ": start code at " << c << " is inside a piece";
        }
        // A piece may end where no start code begins only when it filled the window.
        for (size_t k = 1; k < boundaries.size(); ++k) {
            if (!std::binary_search(codes.begin(), codes.end(), boundaries[k])) {
                EXPECT_GE(pieces[k - 1].bytes.size(), kReaderWindowSize - 2) << "round " << round;
            }
        }
    }
}

TEST(StartCodeReaderErrors, AFileThatCannotBeReadEndsTheStreamAndSaysSo) {
    TempDir dir;
    File file;
    ASSERT_TRUE(file.Open(dir / "w.m2v", File::Mode::Create));
    StartCodeReader reader(file);
    EXPECT_EQ(reader.Next(), nullptr);
    EXPECT_TRUE(reader.Failed());
}

// One picture per letter: F a frame picture, 1 and 2 the top and bottom field pictures (each
// with its coding extension), M an MPEG-1 picture without one. Every picture has a slice whose
// data holds zero bytes that are no start code.
Bytes Pictures(const std::string& pictures) {
    Bytes out;
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

TEST(ElementaryStreamFrames, FramePicturesFieldPairsAndMpeg1Pictures) {
    const std::pair<std::string, int64_t> cases[] = {
        {std::string(37, 'F'), 37}, {"F1212121212", 6}, {"MMMM", 4}, {"", 0}};
    for (const auto& [pictures, frames] : cases) {
        const Bytes s = Pictures(pictures);
        EXPECT_EQ(CountElementaryStreamFrames(s.data(), s.size()), frames) << pictures;
    }
}

TEST(ElementaryStreamFrames, StartCodesAcrossReadChunksAndAMissingFile) {
    testing::TempDir dir;
    // Each byte of a picture start code in turn is the last of the first megabyte read.
    for (size_t cut = 0; cut < 8; ++cut) {
        Bytes s = Pictures("F");
        s.resize((1 << 20) - cut - 1, 0xFF);
        Append(s, Pictures("F"));
        s.resize((1 << 20) + 100, 0xFF);
        Append(s, Pictures("F"));
        testing::WriteBytes(dir / "cut.m2v", s);
        EXPECT_EQ(CountElementaryStreamFrames(dir / "cut.m2v"), 3) << "cut " << cut;
    }
    EXPECT_EQ(CountElementaryStreamFrames(std::string("/nonexistent/stream.m2v")), -1);
}

}  // namespace
}  // namespace vantrel
