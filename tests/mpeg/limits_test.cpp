// Limits that keep the stream operations safe: the output batch refuses what it cannot hold, an
// output buffer that cannot be had ends a multiplex with its message and no output, an
// extraction reads no frame past the last one a timecode names, and a stream past 4 GiB (a
// sparse file, so little disk) is read to its end: the caption unit beyond the 4 GiB mark is
// found and the bar goes on past the mark. That one pass over 4.5 GiB of zeros takes about half
// a minute. The test program's non-throwing array new refuses the output buffer's size while a
// test asks it to.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <new>

#include "model/caption_project.h"
#include "mpeg/extract_captions.h"
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

using testing::Bytes;

TEST(OutputBatch, RefusesARequestLargerThanItself) {
    testing::TempDir dir;
    File out;
    ASSERT_TRUE(out.Open(dir / "out", File::Mode::Create));
    OutputBatch batch(out);
    ASSERT_TRUE(batch.Allocated());
    EXPECT_NE(batch.Reserve(OutputBatch::kCapacity), nullptr);
    EXPECT_FALSE(batch.Failed());
    EXPECT_EQ(batch.Reserve(OutputBatch::kCapacity + 1), nullptr);
    EXPECT_TRUE(batch.Failed());
}

// One caption unit with a pair for more frames than a timecode names: the pairs past the last
// frame are dropped and the user told, so that no frame number leaves the range.
TEST(ExtractCaptions, StopsAtTheLastFrameATimecodeNames) {
    const size_t frames = kMaxStreamPairBytes / 2 + 10;
    testing::Bytes triplets(3 * frames);
    for (size_t k = 0; k < frames; ++k) {
        triplets[3 * k] = 0xFF;
        triplets[3 * k + 1] = triplets[3 * k + 2] = 0x80;
    }
    testing::SourceFile source(testing::CaptionUnit(0xC1, triplets));
    testing::RecordingSink sink;
    CaptionList into;
    const MpegOutcome outcome = ExtractCaptions(source.file, sink, {}, into);
    EXPECT_EQ(outcome.status, MpegStatus::Completed);
    EXPECT_NE(outcome.skippedMessage.find("the pairs from 100:00:00:00 on"), std::string::npos)
        << outcome.skippedMessage;
}

TEST(MultiplexMemory, AMissingOutputBufferIsReportedAndLeavesNoOutput) {
    CaptionList list;
    list.Insert(testing::TextCaption(4, 40, "HI"));
    testing::StreamBuilder s;
    s.Group().Pictures(3).Group();
    testing::SourceFile in(s.bytes());
    File out;
    ASSERT_TRUE(out.Open(in.dir / "out.m2v", File::Mode::Create));
    testing::RecordingSink sink;
    const std::atomic<int> cancel{0};
    refuseOutputBuffer = true;
    const MpegOutcome outcome = MultiplexCaptions(list, in.file, out, sink, cancel);
    refuseOutputBuffer = false;
    EXPECT_EQ(outcome.status, MpegStatus::OutOfMemory);
    EXPECT_EQ(outcome.message, "Unable to allocate temporary\nmemory for multiplex operation");
    EXPECT_FALSE(std::filesystem::exists(in.dir / "out.m2v"));
    EXPECT_TRUE(sink.positions.empty());
}

constexpr uint64_t kGiB = 1ull << 30;
constexpr uint64_t kLateCaption = 4 * kGiB + 1000;
constexpr uint64_t kEnd = 4 * kGiB + kGiB / 2;

void Put(int fd, uint64_t at, const Bytes& bytes) {
    ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(at)),
              static_cast<ssize_t>(bytes.size()));
}

TEST(LargeStream, ACaptionPast4GiBIsFoundAndTheBarGoesOnToItsEnd) {
    testing::TempDir dir;
    const std::string path = dir / "large.m2v";
    const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kEnd)), 0);
    Put(fd, 0, testing::Unit(0xB3, 12));
    Put(fd, 12, testing::Unit(0xB8, 8));
    // RCL, ENM, row 15, HI, EOC (frame 4), a null pair, EDM (frame 6).
    Bytes triplets;
    for (const uint16_t pair : {0x9420, 0x94AE, 0x9470, 0xC849, 0x942F, 0x8080, 0x942C}) {
        testing::Append(triplets, {0xFF, uint8_t(pair >> 8), uint8_t(pair), 0xFE, 0x00, 0x00});
    }
    Put(fd, kLateCaption, testing::CaptionUnit(0x8E, triplets));
    Put(fd, kEnd - 4, Bytes{0x00, 0x00, 0x01, 0xB7});
    ::close(fd);

    CaptionProject project;
    testing::RecordingHost host;
    project.host = &host;
    File file;
    ASSERT_TRUE(file.Open(path, File::Mode::Read));
    testing::WaitingDisplay display;
    const MpegOutcome outcome = ImportM2v(project, file, display, project.captions);
    EXPECT_EQ(outcome.status, MpegStatus::Completed);
    ASSERT_EQ(project.captions.Count(), 1);
    EXPECT_EQ(project.captions.Head()->startFrame, 4);
    EXPECT_EQ(project.captions.Head()->endFrame, 6);
    // The 4 GiB mark is bar position 888 of 1000; a bar counted in 32 bits would wrap there.
    ASSERT_FALSE(display.bars.empty());
    EXPECT_EQ(display.bars.back(), 999u);
    EXPECT_TRUE(std::is_sorted(display.bars.begin(), display.bars.end()));
    EXPECT_GT(display.bars.size(), 990u);
    ::unlink(path.c_str());
}

}  // namespace
}  // namespace vantrel
