// Counting the frames of a raw MPEG video stream by its picture start codes.
#include "mpeg/elementary_pictures.h"

#include <gtest/gtest.h>

#include "mpeg/stream_files.h"

namespace vantrel {
namespace {

using testing::Append;
using testing::Bytes;

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
