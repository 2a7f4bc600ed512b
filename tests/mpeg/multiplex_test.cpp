// Multiplexing: where the caption units land and what they carry, the sources refused, and the
// copies not kept. The program's non-throwing array new refuses the output buffer on request.
#include <gtest/gtest.h>

#include <new>
#include <sstream>

#include "codec/encoder.h"
#include "mpeg/mpeg_fakes.h"
#include "mpeg/output_batch.h"

namespace {
std::atomic<bool> refuseOutputBuffer{false};
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    if (size == vantrel::OutputBatch::kCapacity && refuseOutputBuffer.load()) return nullptr;
    try {
        return ::operator new[](size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

namespace vantrel {
namespace {

using testing::Append;
using testing::CaptionUnit;
using testing::Multiplex;
using testing::Multiplexed;
using testing::Octets;
using testing::StreamBuilder;
using testing::Unit;

// "HI" shown on frame 4 (loaded on frames 0 to 4), erased on `end`.
struct HiCaption : CaptionList {
    explicit HiCaption(int32_t end = 40) { testing::AddCaption(*this, 4, end, "HI"); }
};

// The caption unit for the pairs [from, from + n) of `pairs`, 80 80 past their end; with
// `erase`, the last pair is 94 2C.
Octets ExpectedUnit(const Octets& pairs, size_t from, size_t n, bool erase = false) {
    Octets triplets;
    for (size_t k = from; k < from + n; ++k) {
        const bool have = 2 * k + 1 < pairs.size();
        uint8_t p1 = have ? pairs[2 * k] : uint8_t{0x80}, p2 = have ? pairs[2 * k + 1] : 0x80;
        if (erase && k + 1 == from + n) p1 = 0x94, p2 = 0x2C;
        Append(triplets, {0xFF, p1, p2, 0xFE, 0x00, 0x00});
    }
    return CaptionUnit(static_cast<uint8_t>(0x80 | (n % 64) * 2), triplets);
}

// A stream written as units: S sequence header, G group, P3 three pictures of two slices, P1/30
// a picture of 30 slices, E sequence end, A ATSC user data, O an old caption unit, L an old
// caption unit of 150,000 bytes, C2:3 the caption unit for pairs 2 to 4 of `pairs` (C2:3e with
// the erase as its last pair).
Octets Shape(const std::string& shape, const Octets& pairs) {
    StreamBuilder s;
    std::istringstream in(shape);
    for (std::string t; in >> t;) {
        const int n = t.size() > 1 ? std::stoi(t.substr(1)) : 0;
        const size_t slash = t.find_first_of("/:");
        const int m = slash == std::string::npos ? 2 : std::stoi(t.substr(slash + 1));
        if (t[0] == 'S') s.SequenceHeader();
        if (t[0] == 'G') s.Group();
        if (t[0] == 'E') s.SequenceEnd();
        if (t[0] == 'A') s.Add(testing::kAtscUserData);
        if (t[0] == 'O')
            s.Add(CaptionUnit(0x84, {0xFF, 0xC1, 0xC2, 0xFE, 0, 0, 0xFF, 0xC3, 0xC4, 0xFE, 0, 0}));
        if (t[0] == 'C') s.Add(ExpectedUnit(pairs, size_t(n), size_t(m), t.back() == 'e'));
        for (int p = 0; t[0] == 'P' && p < (t.find('/') == std::string::npos ? n : 1); ++p) {
            s.Picture(m);
        }
        if (t[0] == 'L') {
            Octets old = CaptionUnit(0x82, {});
            while (old.size() < 150000) Append(old, {0xFF, 0x94, 0x20, 0xFE, 0x80, 0x80});
            s.Add(old);
        }
    }
    return s.bytes();
}

TEST(Multiplex, PlacementTable) {
    struct Case {
        const char* source;
        const char* copy;
        int32_t end;  // of the caption
        size_t pastEnd = 0;
    };
    // clang-format off
    const Case cases[] = {
        {"S G P3 G P8 E", "S G C0:3 P3 G C3:8 P8 E", 6},  // the unit follows its group header
        {"S G P1/30 P1/0 G P9", "S G C0:2 P1/30 P1/0 G C2:9 P9", 6},  // slices are not counted
        {"S P4 G P2 G P9", "S P4 G C0:2 P2 G C2:9 P9", 6},  // pictures before a group carry none
        {"S G P10 G P2", "S G C0:10 P10 G C10:2 P2", 6},  // null pairs past the caption stream
        {"S G P63 G P1", "S G C0:63 P63 G C63:1 P1", 40},  // the count modulo 64
        {"S G P64", "S G C0:64 P64", 40},
        {"S G P130", "S G C0:130 P130", 40},
        {"S G O A P2 G O P9 G", "S G C0:2 A P2 G C2:9 P9 G", 6},  // caption data replaced
        {"S G L P9", "S G C0:9 P9", 6},  // a long caption unit goes with all its pieces
        {"S G P9 G A G P1", "S G C0:9 P9 G A G C9:1 P1", 6},  // after the last header
        // Captions going on past the last picture: it erases the screen.
        {"S G P3 G P3", "S G C0:3 P3 G C3:3e P3", 40},
        {"S G P3 G P3 G E", "S G C0:3 P3 G C3:3e P3 G E", 40},
        {"S G P2 G P2", "S G C0:2 P2 G C2:2e P2", 40, 1},  // shown on the erasing picture
        {"S G P2 G P1", "S G C0:2 P2 G C2:1e P1", 40, 1},  // shown after the last picture
        {"S P9", "S P9", 6, 1},  // no group to carry it
    };
    // clang-format on
    for (const Case& c : cases) {
        const HiCaption list(c.end);
        const Multiplexed m = Multiplex(list, Shape(c.source, EncodeCaptions(list).bytes));
        EXPECT_EQ(m.outcome.status, MpegStatus::Completed) << c.source;
        EXPECT_EQ(m.outcome.message, "") << c.source;
        EXPECT_EQ(m.outcome.pastEndCount, c.pastEnd) << c.source;
        EXPECT_EQ(m.output, Shape(c.copy, EncodeCaptions(list).bytes)) << c.source;
    }
}

// A source that does not begin, after zero bytes, with a sequence header is refused before
// anything is read or written, and the message says what it is.
TEST(Multiplex, RefusesSourcesThatNoCarrierSupports) {
    Octets ts(376, 0x11);
    ts[0] = ts[188] = 0x47;
    Octets zerosFirst(5, 0);
    Append(zerosFirst, Shape("S G P3", {}));
    const std::pair<Octets, std::string> cases[] = {
        {{}, "it is empty"},
        {{'h', 'e', 'l', 'l', 'o', '\n'}, "it is a text file"},
        {{0, 0, 1, 0xBA, 0x44, 0, 4, 0, 4, 1}, "it is an MPEG program stream"},
        {ts, "it is an MPEG transport stream"},
        {{0, 0, 0, 1, 0x67, 0x64, 0, 0x1F}, "it is an H.264 video stream"},
        {{0, 0, 0, 1, 0x40, 0x01, 0x0C}, "it is an H.265 video stream"},
        {Octets(70000, 0), "it begins with nothing but zero bytes"},
        {StreamBuilder().Group().Pictures(3).bytes(), "it does not begin with a sequence header"},
        {zerosFirst, ""},  // taken
    };
    for (const auto& [source, what] : cases) {
        const Multiplexed m = Multiplex(HiCaption(), source);
        if (what.empty()) {
            EXPECT_EQ(m.outcome.status, MpegStatus::Completed);
            continue;
        }
        EXPECT_EQ(m.outcome.status, MpegStatus::NotAVideoStream) << what;
        EXPECT_NE(
            m.outcome.message.find(" is not an MPEG-2 video elementary stream (" + what + ")"),
            std::string::npos)
            << m.outcome.message;
        EXPECT_TRUE(m.positions.empty()) << what;
        EXPECT_FALSE(m.exists) << what;
    }
}

// No captions, a cancel, a group over 10 MiB, an output buffer that cannot be had: the outcome
// says so and no copy is kept. A group of exactly 10 MiB is copied.
TEST(Multiplex, AnIncompleteCopyIsNotKept) {
    StreamBuilder shortStream;
    shortStream.SequenceHeader().Group().Pictures(3).Group();
    StreamBuilder longStream;
    longStream.SequenceHeader();
    for (int g = 0; g < 50; ++g) longStream.Group().Pictures(5);
    StreamBuilder largeGroup;
    largeGroup.SequenceHeader().Group();
    for (int p = 0; p < 170; ++p) largeGroup.Picture(1, 65536);
    largeGroup.Group().Picture();
    // A group of 10 MiB: picture units up to the next group header, that header included.
    StreamBuilder exact;
    exact.SequenceHeader().Group();
    for (int p = 0; p < 159; ++p) exact.Add(Unit(0x00, 65536, static_cast<uint8_t>(p)));
    exact.Add(Unit(0x00, kMaxGroupBytes + 20 - exact.bytes().size() - 8)).Group();
    ASSERT_EQ(exact.bytes().size(), 20 + kMaxGroupBytes) << "a sequence header, a group header";
    const auto cancelAt40 = [](size_t count, std::atomic<int>& cancel) {
        if (count == 40) cancel = 1;
    };
    struct Case {
        bool captions;
        Octets source;
        std::function<void(size_t, std::atomic<int>&)> onProgress;
        MpegStatus status;
        std::string message;
        bool refuseBuffer = false;
    };
    // clang-format off
    const Case cases[] = {
        {false, shortStream.bytes(), {}, MpegStatus::NothingToEncode, "there are no captions to multiplex"},
        {true, longStream.bytes(), cancelAt40, MpegStatus::Cancelled, ""},
        {true, largeGroup.bytes(), {}, MpegStatus::GroupTooLarge, "Error: Encountered GOP larger than 10MB"},
        {true, shortStream.bytes(), {}, MpegStatus::OutOfMemory,
         "Unable to allocate temporary\nmemory for multiplex operation", true},
        {true, exact.bytes(), {}, MpegStatus::Completed, ""},
    };
    // clang-format on
    const HiCaption hi;
    const CaptionList none;
    for (const Case& c : cases) {
        refuseOutputBuffer = c.refuseBuffer;
        const Multiplexed m = Multiplex(c.captions ? hi : none, c.source, c.onProgress);
        refuseOutputBuffer = false;
        EXPECT_EQ(m.outcome.status, c.status) << c.message;
        EXPECT_EQ(m.outcome.message, c.message);
        EXPECT_EQ(m.exists, c.status == MpegStatus::Completed) << c.message;
        EXPECT_TRUE(!c.refuseBuffer || m.positions.empty()) << "refused before the first read";
        EXPECT_EQ(m.output.size(), m.exists ? c.source.size() + 9 + 6 * 160 : 0);
        // The 10 MiB group goes out in a second batch, after the first one's write.
        if (m.exists) {
            EXPECT_EQ(testing::WithoutCaptionUnits(m.output), c.source);
        }
    }
    EXPECT_EQ(Multiplex(HiCaption(), longStream.bytes(), cancelAt40).positions.size(), 40u)
        << "the cancel stops at the next unit";
}

}  // namespace
}  // namespace vantrel
