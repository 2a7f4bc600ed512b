// Counting the frames of a raw MPEG video stream by its picture start codes.
#include "mpeg/elementary_pictures.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "test_media.h"

namespace vantrel {
namespace {

using Bytes = std::vector<uint8_t>;

void Add(Bytes& out, std::initializer_list<uint8_t> bytes) {
    out.insert(out.end(), bytes);
}

void SequenceHeader(Bytes& out) {
    Add(out, {0x00, 0x00, 0x01, 0xB3, 0x14, 0x00, 0xF0, 0x13, 0xFF, 0xFF, 0xE0, 0x18});
}

// A picture header, optionally its coding extension with `structure` (3 frame, 1 or 2 field),
// and a slice whose data holds zero bytes that are no start code.
void Picture(Bytes& out, int structure) {
    Add(out, {0x00, 0x00, 0x01, 0x00, 0x00, 0x0F, 0xFF, 0xF8});
    if (structure != 0) {
        Add(out,
            {0x00, 0x00, 0x01, 0xB5, 0x8F, 0xFF, static_cast<uint8_t>(0xF0 | structure), 0x80});
    }
    Add(out, {0x00, 0x00, 0x01, 0x01, 0x12, 0x00, 0x00, 0x34, 0x00, 0x56, 0x00, 0x00, 0x02});
}

int64_t Count(const Bytes& bytes) {
    return CountElementaryStreamFrames(bytes.data(), bytes.size());
}

TEST(ElementaryStreamFrames, CountsOneFramePerFramePicture) {
    Bytes stream;
    SequenceHeader(stream);
    for (int i = 0; i < 37; ++i) Picture(stream, 3);
    EXPECT_EQ(Count(stream), 37);
}

TEST(ElementaryStreamFrames, CountsTwoFieldPicturesAsOneFrame) {
    Bytes stream;
    SequenceHeader(stream);
    Picture(stream, 3);
    for (int i = 0; i < 5; ++i) {
        Picture(stream, 1);
        Picture(stream, 2);
    }
    EXPECT_EQ(Count(stream), 6);
}

TEST(ElementaryStreamFrames, CountsMpeg1PicturesWithoutCodingExtension) {
    Bytes stream;
    SequenceHeader(stream);
    for (int i = 0; i < 4; ++i) Picture(stream, 0);
    EXPECT_EQ(Count(stream), 4);
}

TEST(ElementaryStreamFrames, FindsStartCodesAcrossReadChunks) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Place a picture start code so that each of its bytes in turn is the last of the first
    // megabyte read, with filler that holds no start code.
    const size_t chunk = 1 << 20;
    for (size_t cut = 0; cut < 8; ++cut) {
        Bytes stream;
        SequenceHeader(stream);
        Picture(stream, 3);
        stream.resize(chunk - cut - 1, 0xFF);
        Picture(stream, 3);
        stream.resize(chunk + 100, 0xFF);
        Picture(stream, 3);
        QString path = dir.filePath(QString("cut%1.m2v").arg(cut));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(stream.data()),
                   static_cast<qint64>(stream.size()));
        file.close();
        EXPECT_EQ(CountElementaryStreamFrames(path.toStdString()), 3) << "cut " << cut;
    }
}

TEST(ElementaryStreamFrames, MissingFileIsAFailure) {
    EXPECT_EQ(CountElementaryStreamFrames(std::string("/nonexistent/stream.m2v")), -1);
}

TEST(ElementaryStreamFrames, CountsAnEncodedStream) {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    std::string path = test::NumberedVideo("m2v");
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(CountElementaryStreamFrames(path), test::kTestFrames);
}

}  // namespace
}  // namespace vantrel
